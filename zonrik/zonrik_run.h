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
#include "file.h"
#include "grid.h"
#include "program_main.h"
#include "shape_reader.h"
#include "world_file.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct Zonrik {
    Console console;

    std::string input_shp;          // as given, without the folder
    std::string input_back_ground;  // as given, without the folder
    std::string raw_output;         // output base name as given
    std::string typology;           // function name as given
    std::string path;               // working folder
    bool check_path = false;
    bool check_line_com = true;     // names came from the command line
    std::string nome_output_path;   // base name of the output shapefile, never in the folder
    bool partial = false;           // --partial: polygons partly outside the background are measured

    int f_type = 0;
    int bit_number = 0;
    int width = 0;
    int height = 0;
    Grid<float> Matrice_background;  // (x, y), y = 0 the last row of the file (bottom of the picture)

    WorldFile rww;  // first reading of the world file; rww.complete is `check_rww`
    WorldFile tfw;  // second reading, for the shapefile writer; tfw.complete is `check_tfw`
    MapExtent bmp_box;             // the background's extent in map units
    std::array<double, 4> shp_box{};  // the shapefile's bounding box: Xmin, Ymin, Xmax, Ymax

    std::unique_ptr<ShapeReader> shapefile;
    File fp_aux;              // the report file, once open (`file_ausiliario`)
    std::string report_name;  // its name

    // A name as opened: in the working folder when one was given.
    std::string named(const std::string& name) const;
};

// How a step ends the run: it goes on, or `main` returns `status`.
struct StepEnd {
    bool go_on = true;
    int status = 0;
};

// Zonrik's name, help text and own options ("--partial": Zonrik::partial).
const ProgramInfo& zonrik_info();

// Everything read before the shapefile's content: options (--help and
// --version answered, a wrong option refused, before the banner), banner,
// names, function, shapefile opened, background with its ".dim" file or
// ENVI header, the world file.
StepEnd take_inputs(Zonrik& run, int argc, char** argv);

// The shapefile's header, the bounding boxes, the record loop and the
// outputs.
StepEnd measure_zones(Zonrik& run);

// The closing step: waits for a key when the names were prompted for;
// status 0.
StepEnd closing(Zonrik& run);

// Prints a failure, waits for a key; `main` returns -1.
StepEnd failure(Zonrik& run, const std::string& message);

// The whole program; returns its exit status.
int run_zonrik(Zonrik& run, int argc, char** argv);
