// Pixel positions and the order in which the growths of the filter visit the
// eight neighbours of a pixel: the row above left to right, then left and
// right, then the row below left to right.
#pragma once

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
