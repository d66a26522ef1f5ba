// Rasters read through GDAL: any raster GDAL opens (GeoTIFF, COG, VRT,
// ENVI, JPEG 2000 ...), band 1, read strip by strip straight into the
// caller's grid (whole blocks at a time; no second copy of the image).
#pragma once

#include "class_map_colours.h"
#include "gdal_session.h"
#include "geo_problem.h"
#include "geotransform.h"
#include "grid.h"
#include "world_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RasterInfo {
    std::string path;
    std::string driver;  // GDAL's short name ("GTiff", "VRT", "ENVI" ...)
    int width = 0;
    int height = 0;
    int band_count = 0;
    // Band 1's data type as GDAL names it ("Byte", "UInt16", "Int16",
    // "Float32" ...); signed bytes are "Int8".
    std::string data_type;
    int sample_bits = 0;         // bits per sample of that type
    std::vector<std::string> files;  // the dataset's files: the raster, its sidecars, a VRT's sources
    bool georeferenced = false;  // a geotransform was found
    Geotransform geotransform{0, 1, 0, 0, 0, 1};
    std::string crs_wkt;             // WKT2; empty when the raster has no CRS
    std::optional<double> nodata;    // band 1's nodata value
    double scale = 1.0;              // band 1's value scale and offset, as stored:
    double offset = 0.0;             // the readers return the stored values
    ClassMapColours colours;         // band 1's colour table
};

// What the float reader does with band 1's nodata value.
enum class NodataReading { as_value, as_nan };

class GdalRaster {
public:
    // Opens the raster and reads its description. A file GDAL does not
    // open as a raster, or one without bands, is a problem.
    GeoProblem open(const std::string& path);

    const RasterInfo& info() const { return info_; }

    // The georeferencing as the suite's world file: complete when the
    // raster is georeferenced, not complete (pixel units) when it is not.
    // Rotated geotransforms, values that are not finite and cell sizes of 0
    // are problems.
    GeoProblem world_file(WorldFile& world) const;

    // Band 1 as 8-bit values (palette indices of a class map), row 0 the
    // top row. Only a Byte band is taken: any other type is a problem whose
    // message names it.
    GeoProblem read_indices(Grid<std::uint8_t>& indices) const;

    // Band 1 of any real numeric type as float32, row 0 the top row; with
    // `as_nan` the pixels equal to the nodata value (compared in the band's
    // own type) become NaN. Complex bands are a problem.
    GeoProblem read_values(Grid<float>& values, NodataReading nodata) const;

private:
    GdalDataset dataset_;
    RasterInfo info_;
};
