// The two straight lines carrying a pair of segments: the angle between them
// and their intersection, in single precision.
//
// A record holds 8 values: x1, y1, x2, y2 (first segment) and x3, y3, x4, y4
// (second segment).
#pragma once

constexpr int crossing_record_values = 8;

// The angle in degrees between the two lines, from their slopes (999999 for
// a vertical segment), converted with 360 / 6.28; 90 when the slopes' product
// is -1.
float MOD_delta_alfa(const float* v);

// Intersects the two lines (infinite, not the segments). Returns 1 when they
// are taken as parallel (no angle between them, or equal slopes), else 0
// with the intersection in *x and *y.
int MOD_intersezione_rette(float* x, float* y, const float* v);
