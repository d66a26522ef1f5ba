// Where the line pixels (any value but 255) of the mask are, and which pixels
// have one in their 3 x 3 neighbourhood, kept up to date while line pixels
// are consumed (line pixels only ever become 255, never the other way). Both
// are held one bit per pixel, so that the candidate search's many scattered
// looks stay in the cache; the line pixels also column by column, so that a
// stretch of a row or of a column is read 64 pixels at a time.
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

    // Calls visit(x) for the line pixels (x, y), x from x0 to x1, in order.
    template <typename Visit>
    void line_in_row(int y, int x0, int x1, Visit visit) const
    {
        const std::size_t base = cell(0, y);
        set_bits(line_, base + static_cast<std::size_t>(x0), base + static_cast<std::size_t>(x1),
                 [&](std::size_t i) { visit(static_cast<int>(i - base)); });
    }

    // Calls visit(y) for the line pixels (x, y), y from y0 to y1, in order.
    template <typename Visit>
    void line_in_column(int x, int y0, int y1, Visit visit) const
    {
        const std::size_t base = static_cast<std::size_t>(x) * static_cast<std::size_t>(counts_.height());
        set_bits(line_by_column_, base + static_cast<std::size_t>(y0), base + static_cast<std::size_t>(y1),
                 [&](std::size_t i) { visit(static_cast<int>(i - base)); });
    }

    // Line pixel (x, y) has become 255.
    void consumed(int x, int y);

private:
    std::size_t cell(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(counts_.width()) + static_cast<std::size_t>(x);
    }
    std::size_t column_cell(int x, int y) const
    {
        return static_cast<std::size_t>(x) * static_cast<std::size_t>(counts_.height()) + static_cast<std::size_t>(y);
    }
    // Calls visit(i) for the set bits i from first to last, in order.
    template <typename Visit>
    static void set_bits(const std::vector<std::uint64_t>& bits, std::size_t first, std::size_t last, Visit visit)
    {
        const std::size_t last_word = last >> 6;
        for (std::size_t w = first >> 6; w <= last_word; ++w) {
            std::uint64_t word = bits[w];
            if (w == first >> 6) word &= ~std::uint64_t{0} << (first & 63);
            if (w == last_word) word &= ~std::uint64_t{0} >> (63 - (last & 63));
            for (; word != 0; word &= word - 1) visit(w * 64 + static_cast<std::size_t>(lowest_bit(word)));
        }
    }
    static int lowest_bit(std::uint64_t word)
    {
#if defined(__GNUC__)
        return __builtin_ctzll(word);
#else
        int n = 0;
        for (; (word & 1) == 0; word >>= 1) ++n;
        return n;
#endif
    }
    static bool test(const std::vector<std::uint64_t>& bits, std::size_t i) { return (bits[i >> 6] >> (i & 63)) & 1; }
    static void set(std::vector<std::uint64_t>& bits, std::size_t i, bool on)
    {
        const std::uint64_t bit = std::uint64_t{1} << (i & 63);
        bits[i >> 6] = on ? bits[i >> 6] | bit : bits[i >> 6] & ~bit;
    }

    Grid<std::uint8_t> counts_;         // line pixels in each 3 x 3 neighbourhood
    std::vector<std::uint64_t> line_;   // per cell: a line pixel
    std::vector<std::uint64_t> line_by_column_;  // the same, at x * height + y
    std::vector<std::uint64_t> near_;   // per cell: counts_ is not 0
};
