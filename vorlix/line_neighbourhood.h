// How many line pixels (any value but 255) each pixel of the mask has in its
// 3 x 3 neighbourhood, itself included, kept up to date while line pixels are
// consumed (line pixels only ever become 255, never the other way).
//
// A straight segment between two pixels passes its middle point within one
// pixel of the middle of its two ends along each axis; where no line pixel
// lies that near, the segment cannot lie on line pixels, and the candidate
// search can drop the pair without rasterising it.
#pragma once

#include "grid.h"

#include <cstdint>

class LineNeighbourhood {
public:
    explicit LineNeighbourhood(const Grid<std::uint8_t>& mask) : counts_(mask.width(), mask.height(), 0)
    {
        for (int y = 0; y < mask.height(); ++y)
            for (int x = 0; x < mask.width(); ++x)
                if (mask(x, y) != 255) add(x, y, +1);
    }

    // Whether a line pixel lies within one pixel of (x, y) along each axis.
    bool near_line(int x, int y) const { return counts_(x, y) != 0; }

    // Line pixel (x, y) has become 255.
    void consumed(int x, int y) { add(x, y, -1); }

private:
    void add(int x, int y, int change)
    {
        for (int yy = y - 1; yy <= y + 1; ++yy)
            for (int xx = x - 1; xx <= x + 1; ++xx)
                if (counts_.contains(xx, yy)) counts_(xx, yy) = static_cast<std::uint8_t>(counts_(xx, yy) + change);
    }

    Grid<std::uint8_t> counts_;
};
