// Shadows cast on flat ground by flat-roofed buildings. The shadow of a
// footprint is every pixel whose centre lies in the footprint's pixel squares
// swept along the shadow vector, the footprint itself excepted: the pixel
// sampling of the true shadow of a prism of that height.
#pragma once

#include "footprint.h"
#include "sun.h"

#include <vector>

namespace samples {

struct Offset {
    int dx = 0, dy = 0;
};

// The offsets u for which the centre of pixel p + u lies in the square of
// pixel p swept along t * v, 0 <= t <= 1: the shadow of one roof pixel, the
// pixel itself included. Exact: computed with integer fractions.
std::vector<Offset> shadow_stamp(ShadowVector v);

// The shadow of a footprint, in row order. The sweep of the whole footprint
// is the sweep of its outline, since every swept point leaves the footprint
// through an outline pixel.
std::vector<Pixel> cast_shadow(const Footprint& footprint, ShadowVector v);

}  // namespace samples
