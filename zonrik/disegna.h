// `disegna`: the line drawer of the zone rasteriser.
#pragma once

#include "grid.h"

#include <cstdint>

// Sets to 1 the cells of the 8-connected line from (x1, y1) to (x2, y2),
// both ends included, drawn with y increasing (the ends are swapped when
// y1 > y2). The long side takes LatoLungo steps; the error term starts at a
// quarter of it, so the diagonal steps fall as from (0, 0) to (8, 2):
// (0,0) (1,0) (2,0) (3,1) (4,1) (5,1) (6,1) (7,2) (8,2). Cells outside
// Pixel_Panel are not drawn.
void disegna(int x1, int y1, int x2, int y2, Grid<std::uint8_t>& Pixel_Panel);
