// Talvern: estimates building heights from the shadows the buildings cast,
// given a building class map, a shadow class map, the sun's azimuth and
// elevation and the ground size of a pixel. Writes a float raster holding
// each building's height on its pixels.
#pragma once

#include "console.h"
#include "geo_input.h"
#include "grid.h"
#include "invocation.h"
#include "output_choices.h"
#include "output_files.h"
#include "parameters.h"
#include "trace_walk.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// At most this many class colours are counted in a class map; one more
// fails the census.
constexpr int max_census_colours = 99;

struct TalvernRun : Invocation {
    Console console;

    std::string nome_input_building;  // as given, without the folder
    std::string nome_input_shadow;

    float sun_azimuth_angle = 0;      // degrees, from +x towards +y (up the picture)
    float sun_elevation_angle = 0;    // degrees
    float risoluzione = 0;            // pixel size, metres
    TalvernParameters parameters;
    Point origin;                     // --origin: the maps' lower-left pixel in the mosaic they are cut from

    std::vector<std::int32_t> colori_building;  // census of the building map; entry 0 the building colour
    std::vector<std::int32_t> colori_shadow;    // census of the shadow map; entry 0 the shadow colour
    int width = 0;
    int height = 0;
    Grid<std::int32_t> Matrice_building;  // packed colours, row 0 the top
    Grid<std::int32_t> Matrice_shadow;    // packed colours, row 0 the top
    Grid<float> Matrice_raise;            // heights, row 0 the bottom
    std::string nome_output_path;         // output base name, in the folder when one was given
    OutputChoices choices;                // --of GTiff (--gis changes nothing in a raster)
    Georeference georeference;            // where the two maps lie, shared by the heights
    OutputFiles outputs;                  // the raster and its header, put in place when the run completes
};

// The banner printed first.
void print_banner();

// Fills the names, angles and resolution from the command line (5 values and
// an optional working folder) or, with fewer arguments, from the prompts.
// A number on the command line must be wholly a number, and the pixel size
// finite and greater than 0: otherwise the reason is returned ("'0,25' is not
// a number (pixel size)"). A prompt asks again until it has such an answer.
std::optional<std::string> take_inputs(TalvernRun& run, int argc, char** argv);

// The building-shadow pairing: measures every building's shadow and writes
// the heights into Matrice_raise. Releases Matrice_shadow once its mask is
// built. False when the work images do not fit in memory (the message is
// printed): no height is measured.
bool gestore(TalvernRun& run);
