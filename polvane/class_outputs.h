// Where Polvane's classes go: one shapefile per class ("<output>_<n>" .shp,
// .shx, .dbf, with a ".prj" when the CRS is known), or with --of GPKG one
// GeoPackage "<output>.gpkg" holding every blob of every class. In the GIS
// layout each record carries its class: CLASS_ID (n), PALETTE (the palette
// index of the class's colour, or the pixel value of a map without colour
// table), RED, GREEN and BLUE.
#pragma once

#include "polvane.h"
#include "record_arrays.h"

#include <memory>
#include <optional>
#include <string>

// The colour a class stands for, as the progress line and the tables name it.
struct ClassColour {
    int palette_index = -1;  // lowest entry holding the colour; the pixel value without colour table
    bool has_rgb = false;
    int red = 0, green = 0, blue = 0;
};
ClassColour class_colour(const ClassMapColours& colours, std::int32_t key);

// " (palette index 5, RGB 255 0 0)" or, without colour table, " (value 5)".
std::string class_colour_text(const ClassColour& colour);

class ClassOutputs {
public:
    explicit ClassOutputs(PolvaneRun& run);
    ~ClassOutputs();

    // Names every output of the run (before anything is written); false
    // after the message.
    bool declare();

    // Writes the records of class `index`; false after the message and the
    // wait.
    bool write_class(int index, const RecordArrays& records);

    // Completes what stays open across the classes (the GeoPackage); false
    // after the message.
    bool finish();

private:
    struct GeoPackage;
    bool write_shapefile(int index, const RecordArrays& records);

    PolvaneRun& run_;
    std::unique_ptr<GeoPackage> geopackage_;
};
