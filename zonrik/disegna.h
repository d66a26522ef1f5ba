// `disegna`: the line drawer of the zone rasteriser.
//
// Plain twin (of draw_line): drelwin/tests/disegna_test.cpp:reference_segment.
#pragma once

#include "grid.h"

#include <cstdint>

// Sets to 1 the cells of the line from (x1, y1) to (x2, y2) that lie inside
// Pixel_Panel (see draw_line).
void disegna(int x1, int y1, int x2, int y2, Grid<std::uint8_t>& Pixel_Panel);
