// Zonrik: measures a background raster inside the polygons of a polygon
// shapefile, one statistic per polygon, and writes the values as a float
// raster, as a polygon shapefile re-traced from the zones with a "VALUE"
// table, and for the cover and temperature functions as a text report (and
// a cover picture).
//
// The run's steps, in order: names and function, background with its
// ".dim" and world file, the shapefile's header and the two bounding boxes,
// the record loop, the outputs. Each step that fails prints its message and
// says how the run ends.
#pragma once

#include "console.h"
#include "envi_header.h"
#include "file.h"
#include "geo_input.h"
#include "grid.h"
#include "invocation.h"
#include "output_choices.h"
#include "output_files.h"
#include "program_main.h"
#include "pixel_record.h"
#include "shape_reader.h"
#include "world_file.h"
#include "zone_rasteriser.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct Zonrik : Invocation {
    Console console;

    std::string input_shp;          // as given, without the folder
    std::string input_back_ground;  // as given, without the folder
    std::string raw_output;         // output base name as given
    std::string typology;           // function name as given
    std::string nome_output_path;   // base name of the output shapefile, never in the folder
    bool partial = false;           // --partial: polygons partly outside the background are measured
    OutputChoices choices;          // --gis, --of GTiff (value raster, cover picture), --of GPKG (zones)
    bool gis = false;               // the GIS layout: asked for, or the background came through GDAL

    int f_type = 0;
    int bit_number = 0;
    int width = 0;
    int height = 0;
    Grid<float> Matrice_background;  // (x, y), y = 0 the last row of the file (bottom of the picture)
    std::vector<std::string> background_files;  // the files read with the background (GDAL's, a world file, a .prj)

    WorldFile rww;  // first reading of the world file; rww.complete is `check_rww`
    WorldFile tfw;  // second reading, for the shapefile writer; tfw.complete is `check_tfw`
    Georeference georeference;     // where the background lies and its CRS, for the outputs
    MapExtent bmp_box;             // the background's extent in map units
    std::array<double, 4> shp_box{};  // the shapefile's bounding box: Xmin, Ymin, Xmax, Ymax

    // The albedo thresholds of the cover function given on the command line
    // (--cover-max, --cover-min); a threshold not given is asked for at the
    // prompts.
    std::optional<float> cover_max;
    std::optional<float> cover_min;

    std::unique_ptr<ShapeReader> shapefile;
    OutputFiles outputs;               // every output, put in place when the run completes
    std::optional<WrittenFile> fp_aux;  // the report being written, once open (`file_ausiliario`)
    std::string report_name;           // its name
    std::vector<std::string> sidecars;  // the outputs' world files and ".prj", each file once

    // A run over a mosaic in tiles (tiles/zonrik) holds no sample: the
    // background's size, layout and placement are read, its samples are
    // not (read_samples false). Where the samples of a RAW background lie
    // (a ".dim" one's as an ENVI header's), and whether a background read
    // through GDAL stores its bottom row first:
    bool read_samples = true;
    EnviHeader sample_layout;
    bool gdal_rows_bottom_first = false;
    // A tile's part: every record the loop lets through goes to visit_zone
    // instead of being measured, and nothing is written.
    std::function<void(const PixelRecord&)> visit_zone;
    // Without samples: the background values of each zone measured, in
    // zone order.
    std::function<void(const Zone&, std::vector<float>&)> zone_values;
    // Whether the zones are painted into the value raster and the cover
    // picture; when they are painted tile by tile instead, both are written
    // 1 x 1 and `measured` is given the zones' values.
    bool paint_rasters = true;
    std::function<void(const std::vector<float>&)> measured;
};

// Zonrik's name, help text and own options ("--partial": Zonrik::partial;
// "--cover-max", "--cover-min": the cover thresholds).
const ProgramInfo& zonrik_info();

// Everything read before the shapefile's content: banner, names, function,
// shapefile opened, background with its ".dim" file or ENVI header, both
// readings of the world file. Each step below gives none to go on, or the
// exit status the run ends with (after its message).
std::optional<int> take_inputs(Zonrik& run, int argc, char** argv);

// Once the function is known, before any file is read: an output name that
// its ENVI header can hold, and, with arguments, the cover thresholds.
std::optional<int> check_requests(Zonrik& run);

// The shapefile's header, the bounding boxes, the record loop and the
// outputs, written into their temporaries.
std::optional<int> measure_zones(Zonrik& run);

// The closing step: waits for a key when the names were prompted for; gives
// `status` back.
int closing(Zonrik& run, int status);

// Why an output's temporary could not be made.
std::error_code temporary_failure(const OutputProblem& problem);

// Prints a failure, waits for a key; the run ends with -1.
int failure(Zonrik& run, const std::string& message);

// The whole program on a command line whose options are taken out; returns
// its exit status.
int run_zonrik(Zonrik& run, CommandLine& line);
