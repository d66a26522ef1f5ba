// Polvane: turns an 8-bit palette BMP class map into one polygon shapefile
// per non-grey colour, one polygon record per 8-connected blob of the colour.
#pragma once

#include "class_map_colours.h"
#include "colour_census.h"
#include "geo_input.h"
#include "output_choices.h"
#include "console.h"
#include "grid.h"
#include "invocation.h"
#include "output_files.h"
#include "world_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// At most this many class colours are vectorised; one more refuses the image.
constexpr int max_colori = 253;

// Class index of a grey pixel in `classi`.
constexpr std::uint8_t no_class = 255;

struct PolvaneRun : Invocation {
    Console console;

    std::string nome_input;    // as given, without the folder
    std::string nome_output;   // output base name as given

    bool mask = false;               // --mask: every colour but black is a class, greys included
    OutputChoices choices;           // --gis, --of
    bool gis = false;                // the GIS layout: asked for, or the input came through GDAL
    WorldFile tfw;                   // world file; tfw.complete is `check_tfw`
    Georeference georeference;       // world file and CRS as read, for the outputs
    Grid<std::int32_t> Matrice;      // class key (packed colour) of each pixel, row 0 the top
    ClassMapColours colours;         // the class map's colour table, to name each class's entry
    int width = 0;
    int height = 0;
    std::vector<std::int32_t> colori;  // class colours in census order (`num_colori` = size)
    Grid<std::uint8_t> classi;         // index into colori of each pixel, row 0 the bottom; no_class for grey
    std::string nome_output_path;      // output base name, in the folder when one was given
    std::string nome;                  // base name of the colour in hand: "<nome_output_path>_<index>"
    OutputFiles outputs;               // the shapefiles, put in place when the run completes
};

// The closing line "\n\nEnd" and, when the names were prompted for, the
// wait for a key; gives `status` back.
int finish(PolvaneRun& run, int status);

// The class index of every pixel in mask orientation (row 0 the bottom row
// of the image): the position of its colour in `colori`, or no_class.
Grid<std::uint8_t> class_indices(const Grid<std::int32_t>& Matrice, const std::vector<std::int32_t>& colori);

// Reads the image `nome_input`, takes the census, names the outputs and runs
// the per-colour loop. None: go on (the shapefiles are written, to be put in
// place). Otherwise the run ends with that status: an image that does not
// read, holds too many colours or would have an output overwrite an input
// has had its message and the closing line; a shapefile that could not be
// written has had its message and ends the run at once.
std::optional<int> vectorise_image(PolvaneRun& run);

// The per-colour loop: for each colour, its blobs traced into polygon
// records and written (class_outputs.h), with the progress lines. Returns
// 0, or 1 when an output could not be written (its message printed and a key
// waited for): the program then ends.
class ClassOutputs;
int gestore(PolvaneRun& run, ClassOutputs& outputs);
