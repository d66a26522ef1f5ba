// The single-band 8-bit rasters the filter reads and writes: samples row
// after row from the top row, one byte per pixel, no header.
#pragma once

#include "grid.h"

#include <cstdint>
#include <string>

enum class RasterRead { complete, short_file, cannot_open };

// Reads the rows of `image` (already sized) from the file. A file shorter
// than the image leaves the remaining pixels as they were.
RasterRead read_raster_bytes(const std::string& name, Grid<std::uint8_t>& image);

// Writes the image ("wb": an earlier file is truncated). False when the file
// cannot be created or a write fails.
bool write_raster_bytes(const std::string& name, const Grid<std::uint8_t>& image);
