// Where the line pixels (any value but 255) of the mask are, and which pixels
// have one in their 3 x 3 neighbourhood, kept up to date while line pixels
// are consumed (line pixels only ever become 255, never the other way). Both
// are held one bit per pixel, so that the candidate search's many scattered
// looks stay in the cache; the line pixels also column by column, so that a
// stretch of a row or of a column is read 64 pixels at a time.
//
// A straight segment between two pixels passes its middle point within one
// pixel of the middle of its two ends along each axis, and its quarter
// points within two pixels of the quarter points of its ends (rounded down);
// where no line pixel lies that near, the segment cannot lie on line pixels,
// and the candidate search can drop the pair without rasterising it.
#pragma once

#include "grid.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class LineNeighbourhood {
public:
    explicit LineNeighbourhood(const Grid<std::uint8_t>& mask);

    // Whether a line pixel lies within one pixel of (x, y) along each axis.
    bool near_line(int x, int y) const { return test(near_, cell(x, y)); }

    // Whether a line pixel lies within two pixels of (x, y) along each axis:
    // the 5 x 5 square is covered by the 3 x 3 ones around its four
    // diagonal neighbours (moved into the image at its edges).
    bool near_line_2(int x, int y) const
    {
        const int left = x > 0 ? x - 1 : 0;
        const int right = x + 1 < counts_.width() ? x + 1 : x;
        const int up = y > 0 ? y - 1 : 0;
        const int down = y + 1 < counts_.height() ? y + 1 : y;
        return near_line(left, up) || near_line(right, up) || near_line(left, down) || near_line(right, down);
    }

    // Whether any line pixel lies in the rectangle, clipped to the image.
    bool line_in_rectangle(int x0, int y0, int x1, int y1) const
    {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, counts_.width() - 1);
        y1 = std::min(y1, counts_.height() - 1);
        if (x0 > x1) return false;
        for (int y = y0; y <= y1; ++y)
            if (any_bit(line_, cell(x0, y), cell(x1, y))) return true;
        return false;
    }

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
    // Whether any bit from first to last is set.
    static bool any_bit(const std::vector<std::uint64_t>& bits, std::size_t first, std::size_t last)
    {
        const std::size_t first_word = first >> 6;
        const std::size_t last_word = last >> 6;
        const std::uint64_t head = ~std::uint64_t{0} << (first & 63);
        const std::uint64_t tail = ~std::uint64_t{0} >> (63 - (last & 63));
        if (first_word == last_word) return (bits[first_word] & head & tail) != 0;
        if (bits[first_word] & head) return true;
        for (std::size_t w = first_word + 1; w < last_word; ++w)
            if (bits[w]) return true;
        return (bits[last_word] & tail) != 0;
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
