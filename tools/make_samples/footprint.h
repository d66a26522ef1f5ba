// A building's footprint: the pixels it covers in the picture (x to the
// right, y down the rows), held as a mask over its bounding box.
#pragma once

#include "grid.h"

#include <cstdint>
#include <vector>

namespace samples {

struct Pixel {
    int x = 0, y = 0;
    bool operator==(const Pixel& o) const { return x == o.x && y == o.y; }
};

struct Footprint {
    int x0 = 0, y0 = 0;          // picture position of mask cell (0, 0)
    Grid<std::uint8_t> mask;     // non-zero where the building stands

    int x_min() const { return x0; }
    int y_min() const { return y0; }
    int x_max() const { return x0 + mask.width() - 1; }
    int y_max() const { return y0 + mask.height() - 1; }

    bool contains(int x, int y) const { return mask.contains(x - x0, y - y0) && mask(x - x0, y - y0) != 0; }
    // The covered pixels in row order (top row first, left to right).
    std::vector<Pixel> pixels() const;
    // Covered pixels with at least one of their eight neighbours uncovered.
    std::vector<Pixel> outline() const;
};

}  // namespace samples
