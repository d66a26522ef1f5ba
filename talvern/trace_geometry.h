// Where the trace lines of a building run: a rectangle one pixel outside the
// building's box with its sides along and across the sun direction folded
// into the first quadrant, and the two sides the lines start and end on.
#pragma once

#include "box_blob.h"
#include "trace_walk.h"

#include <array>

// The fold of the sun azimuth into 0..89 degrees and the terms that turn a
// box extent into the offsets of the rectangle's corners.
struct SunFold {
    int alfa_2 = 0;  // integer part of the azimuth, modulo 90
    int alfa_1 = 90; // 90 - alfa_2
    float h = 0;     // about sin * cos of alfa_2
    float l = 0;     // about sin^2 of alfa_2
};

SunFold sun_fold(float sun_azimuth_angle);

// A building's extremes in pixels (x from the left, y from the bottom).
struct PixelBox {
    int x_lo = 0, x_hi = 0, y_lo = 0, y_hi = 0;
};

// The leftmost, rightmost, bottom and top pixel of the blob in hand, from its
// box in doubled cells.
PixelBox pixel_box(const BoxBlob& box_blob);

// The corners P0..P3 of the trace rectangle as (x, y) pairs in `box_r`,
// clamped to the image. With alfa_2 = 0 they are the top-left, bottom-left,
// bottom-right and top-right corners of the box grown by one pixel.
std::array<int, 8> trace_rectangle(const PixelBox& box, const SunFold& fold, int width, int height);

// The trace lines' start side `lato_1` (the side the shadow falls towards)
// and end side `lato_2`, drawn within the doubled image's bounds.
void trace_sides(const std::array<int, 8>& box_r, float sun_azimuth_angle, int width, int height, PointList& lato_1,
                 PointList& lato_2);
