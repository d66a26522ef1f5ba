// The state of one run of the line filter, owned by main.
#pragma once

#include "console.h"
#include "geo_input.h"
#include "grid.h"
#include "invocation.h"
#include "output_files.h"
#include "parameters.h"
#include "tile_share.h"

#include <optional>
#include <string>
#include <system_error>
#include <vector>

struct VorlixRun : Invocation {
    std::string nome_input;   // base name of the input image, without ".raw"
    int xdim = 0;             // image width (columns)
    int ydim = 0;             // image height (rows)
    std::string nomefilein;   // the input file as opened
    bool through_gdal = false;  // no "<nome_input>.raw": nomefilein is a Byte raster GDAL reads, named as given
    Georeference georeference;  // where the image lies, for segmenti.bpw and segmenti.prj
    std::string nomefileout;  // the segments file as written
    VorlixParameters parameters;
    int threads = 1;          // threads the transforms and the window tests share rows over
    Console console;
    TileShare tile;              // --core, --statistics: a tile of a larger image
    std::string statistics_out;  // --measure: the tile's share of the statistics, written instead of segments
    std::string line_mask;       // --line-mask: the cleaned line mask, also written
    OutputFiles outputs;      // segments file and marker, put in place when the run completes; the working file
};

// The line image, when "<nome_input>.raw" is not there: a raster GDAL opens
// under the name as given. Its extent is the image's (a width or height
// given as 0 is taken from it, any other must equal it) and band 1 must be
// Byte. None to go on: through_gdal tells whether GDAL opened it (then
// nomefilein, xdim and ydim are the raster's); else the exit status after the
// message.
std::optional<int> take_gdal_image(VorlixRun& run);

// Where the image lies: a GDAL raster's georeferencing, else the standard
// world file beside the image; its CRS, else the ".prj" beside it. The files read are inputs of the
// run; a standard world file or ".prj" that cannot be used ends it (status
// after the message).
std::optional<int> place_image(VorlixRun& run);

// The placement files beside the segments file, outputs of the run when the
// image is placed: "segmenti.bpw" (the suite's world file, outer corner, as
// Traskel reads it) and "segmenti.prj" when the CRS is known.
std::vector<std::string> placement_files(const VorlixRun& run);

// Writes them into their temporaries. False after the message.
bool write_placement_files(VorlixRun& run);

// The line image: the RAW bytes, or band 1 through GDAL. False after the
// reader's own message (if any).
bool read_image(const VorlixRun& run, Grid<std::uint8_t>& immagine);

// The input file holds exactly xdim * ydim bytes; negative dimensions and a
// file that cannot be examined never match.
bool size_matches(const VorlixRun& run);

// Reads "vorlix_parameters.txt" from the current folder into run.parameters
// (an input of the run), or takes the defaults when there is no such file;
// prints which. A file that is there but cannot be read (a folder, a file
// without read permission) is no file of parameters: its reason is returned
// and nothing is printed.
std::optional<std::error_code> load_parameters(VorlixRun& run);
