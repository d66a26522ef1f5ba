// Where the line pixels (any value but 255) of the mask are, and which pixels
// have one in their 3 x 3 neighbourhood, kept up to date while line pixels
// are consumed (line pixels only ever become 255, never the other way). Both
// are held one bit per pixel, so that the candidate search's many scattered
// looks stay in the cache.
//
// A straight segment between two pixels passes its middle point within one
// pixel of the middle of its two ends along each axis; where no line pixel
// lies that near, the segment cannot lie on line pixels, and the candidate
// search can drop the pair without rasterising it.
#pragma once

#include "grid.h"

#include <cstdint>
#include <vector>

class LineNeighbourhood {
public:
    explicit LineNeighbourhood(const Grid<std::uint8_t>& mask);

    // Whether a line pixel lies within one pixel of (x, y) along each axis.
    bool near_line(int x, int y) const { return test(near_, cell(x, y)); }

    // Whether the pixel of cell index y * width + x is a line pixel.
    bool is_line(std::size_t cell) const { return test(line_, cell); }

    // Line pixel (x, y) has become 255.
    void consumed(int x, int y);

private:
    std::size_t cell(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(counts_.width()) + static_cast<std::size_t>(x);
    }
    static bool test(const std::vector<std::uint64_t>& bits, std::size_t i) { return (bits[i >> 6] >> (i & 63)) & 1; }
    static void set(std::vector<std::uint64_t>& bits, std::size_t i, bool on)
    {
        const std::uint64_t bit = std::uint64_t{1} << (i & 63);
        bits[i >> 6] = on ? bits[i >> 6] | bit : bits[i >> 6] & ~bit;
    }

    Grid<std::uint8_t> counts_;         // line pixels in each 3 x 3 neighbourhood
    std::vector<std::uint64_t> line_;   // per cell: a line pixel
    std::vector<std::uint64_t> near_;   // per cell: counts_ is not 0
};
