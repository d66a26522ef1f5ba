// Polygon records in pixel units for the rasteriser and zone tests.
#pragma once

#include "pixel_record.h"

#include <utility>
#include <vector>

using Ring = std::vector<std::pair<double, double>>;

// A record of the rings, each a part, with the box of all their vertices.
PixelRecord record_of(const std::vector<Ring>& rings);

// The rectangle x0..x1 by y0..y1 as a closed ring.
Ring rectangle(double x0, double y0, double x1, double y1);
