// Test inputs built with GDAL's own API, and CRS comparisons.
#pragma once

#include "geotransform.h"

#include <gdal.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace gdaltest {

struct RasterContents {
    std::string driver = "GTiff";
    int width = 0;
    int height = 0;
    GDALDataType type = GDT_Byte;
    std::vector<double> values;  // width*height samples, the top row first
    std::optional<Geotransform> geotransform;
    int epsg = 0;  // no CRS when 0
    std::optional<double> nodata;
    std::vector<std::array<short, 3>> colour_table;  // red, green, blue per entry
    std::vector<std::string> options;                // creation options NAME=VALUE
};

// Creates the raster (throws std::runtime_error when GDAL cannot).
void create_raster(const std::string& path, const RasterContents& contents);

// The WKT of an EPSG code.
std::string epsg_wkt(int epsg);

// Whether two CRS texts name the same CRS (OGRSpatialReference::IsSame).
bool same_crs(const std::string& a, const std::string& b);

// Band 1 of a raster as doubles (the top row first), its geotransform and
// its CRS as WKT, read by GDAL.
struct ReadBack {
    int width = 0;
    int height = 0;
    std::vector<double> values;
    Geotransform geotransform{};
    bool georeferenced = false;
    std::string crs_wkt;
    std::optional<double> nodata;
};
ReadBack read_with_gdal(const std::string& path);

}  // namespace gdaltest
