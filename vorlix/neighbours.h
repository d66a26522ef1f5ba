// Pixel positions and the order in which the growths of the filter visit the
// eight neighbours of a pixel: the row above left to right, then left and
// right, then the row below left to right.
#pragma once

#include "grid.h"

#include <cstdint>

struct Point {
    int x;
    int y;
};

struct NeighbourStep {
    int dx;
    int dy;
};

constexpr NeighbourStep neighbour_order[8] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                              {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

// Whether (x, y) has all eight neighbours inside the image.
inline bool is_inner(const Grid<std::uint8_t>& g, int x, int y)
{
    return x > 0 && y > 0 && x < g.width() - 1 && y < g.height() - 1;
}
