// A polygon record placed on the background grid: its box and vertices
// converted from map units to pixel units (x from the left edge, y from the
// bottom edge, both growing), and the rule that skips records lying outside
// the background.
#pragma once

#include "shape_reader.h"
#include "world_file.h"

#include <array>
#include <cstdint>
#include <vector>

struct PixelRecord {
    std::array<double, 4> box{};      // Xmin, Ymin, Xmax, Ymax in pixel units
    std::vector<std::int32_t> parts;  // start index of each part
    std::vector<double> points;       // x, y pairs in pixel units
    std::int32_t numpoints() const { return static_cast<std::int32_t>(points.size() / 2); }
};

// x' = (X - Xmin) * width / (Xmax - Xmin), y' likewise, evaluated in this
// form with the background's extent `bmp_box`.
PixelRecord to_pixel_units(const ShapeRecord& record, const MapExtent& bmp_box, int width, int height);

// The skip rule. A converted box holding a NaN or an infinity is skipped.
// Otherwise the box is skipped when it leaves the background's extent 0 ..
// width by 0 .. height (a box on the edges, taking in the last column or the
// top row, stays); with `partial`, only when it lies wholly outside that
// extent (no part of a pixel inside it), so that a polygon partly outside is
// measured over its pixels inside the background.
bool outside_background(const PixelRecord& record, int width, int height, bool partial);
