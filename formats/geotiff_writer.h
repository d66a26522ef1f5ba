// GeoTIFF output through GDAL: one band, tiled and DEFLATE-compressed
// (BigTIFF when the size needs it), with its geotransform, CRS and nodata
// value, written from the grid strip by strip.
#pragma once

#include "geo_problem.h"
#include "grid.h"
#include "world_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// Which grid row holds the top of the picture.
enum class RowOrder { top_first, bottom_first };

struct RasterGeoreferencing {
    WorldFile world;              // written when complete (outer-corner convention)
    std::string crs_wkt;          // written when not empty
    std::optional<double> nodata; // written when given
};

// A Float32 GeoTIFF of `values` (floating-point predictor).
GeoProblem write_geotiff(const std::string& path, const Grid<float>& values, RowOrder rows,
                         const RasterGeoreferencing& georeferencing);

// A Byte GeoTIFF of palette indices with its colour table; `palette` holds
// 256 entries of blue, green, red, reserved, as bmp.h writes them (the
// reserved byte is not written: every entry is opaque).
GeoProblem write_geotiff(const std::string& path, const Grid<std::uint8_t>& indices, RowOrder rows,
                         const std::array<std::uint8_t, 1024>& palette, const RasterGeoreferencing& georeferencing);
