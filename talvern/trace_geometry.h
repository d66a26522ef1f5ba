// Where the trace lines of a building run: a rectangle one pixel outside the
// building's box with its sides along and across the sun direction folded
// into the first quadrant, and the two sides the lines start and end on.
#pragma once

#include "box_blob.h"
#include "trace_walk.h"

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
PixelBox pixel_box(const BlobBox& box_blob);

// `box_r`: the trace rectangle, by its four corners. Its sides run along and
// across the sun direction folded into the first quadrant; with alfa_2 = 0
// the corners are the top-left (P0), bottom-left (P1), bottom-right (P2) and
// top-right (P3) corners of the building's box grown by one pixel.
struct TraceRect {
    Point P0, P1, P2, P3;
};

// The trace rectangle of a building's box, its corners clamped to the image.
TraceRect trace_rectangle(const PixelBox& box, const SunFold& fold, int width, int height);

// The trace lines' start side `lato_1` (the side the shadow falls towards)
// and end side `lato_2`, drawn within the doubled image's bounds.
void trace_sides(const TraceRect& box_r, float sun_azimuth_angle, int width, int height, PointList& lato_1,
                 PointList& lato_2);
