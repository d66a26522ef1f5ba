// The sun that lights the sample town and the town's ground resolution, in
// the convention of the building-height estimator: pixel (x, y) with y
// counted upwards from the bottom row, angles from +x towards +y, and every
// shadow falling from its building in direction (cos azimuth, sin azimuth).
// A building h metres high casts a shadow h / (tan elevation * pixel size)
// pixels long.
#pragma once

#include <cstdint>

namespace samples {

constexpr int sun_azimuth_degrees = 40;    // shadows fall up and to the right in the picture
constexpr int sun_elevation_degrees = 60;
constexpr int pixel_size_cm = 50;          // 0.5 m pixels

// The same angles in fixed point (16 fraction bits), rounded from
// cos 40 = 0.76604444, sin 40 = 0.64278761 and tan 60 = 1.73205081.
constexpr std::int64_t cos_azimuth = 50203;
constexpr std::int64_t sin_azimuth = 42126;
constexpr std::int64_t tan_elevation = 113512;

// Where a shadow ends, relative to the pixel that casts it, in picture
// pixels (x to the right, y down the rows), fixed point.
struct ShadowVector {
    std::int64_t dx = 0, dy = 0;
};

// Length in pixels (fixed point) of the shadow of a height in centimetres.
std::int64_t shadow_length(int height_cm);

// The shadow vector of a height in centimetres, under this sun.
ShadowVector shadow_vector(int height_cm);

}  // namespace samples
