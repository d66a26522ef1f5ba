// Footprint shapes of the sample town's buildings and their heights.
#pragma once

#include "footprint.h"
#include "noise.h"
#include "town.h"

namespace samples {

// A random footprint of the shape, at position (0, 0): rectangles; L, U and
// T shapes turned by a random quarter; courtyard blocks (a hole in the
// middle); corner pairs, two blocks that touch only at one corner, the second
// below and to the right of the first so that neither shades the other.
Footprint make_footprint(Shape shape, Random& rng);

// A random height in centimetres, by shape (3 m to 14 m).
int make_height_cm(Shape shape, Random& rng);

}  // namespace samples
