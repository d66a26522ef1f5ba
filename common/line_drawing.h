// Straight lines on a raster: 8-connected, both ends included, the same
// pixels whichever end is given first.
//
// Plain twin: drelwin/tests/disegna_test.cpp:reference_segment (every step of the
// walk tested against the raster).
#pragma once

#include "grid.h"

#include <cstdint>

// Sets to `ink` the pixels of the line (x1, y1)-(x2, y2) that lie inside
// `image` (x the column, y the row). The line is walked from the end with
// the smaller row, one pixel per row when it is steep, else one per column,
// with an error term starting at a quarter of the longer extent, so the
// diagonal steps fall as from (0, 0) to (8, 2): (0,0) (1,0) (2,0) (3,1)
// (4,1) (5,1) (6,1) (7,2) (8,2). Only the part inside the raster costs time.
void draw_line(Grid<std::uint8_t>& image, int x1, int y1, int x2, int y2, std::uint8_t ink);
