// How far a mask's line pixels (any value but 255) reach on either side of
// each pixel: along its row, the number of consecutive line pixels from the
// next pixel on to the right and to the left (to the image edge at most),
// and the same down and up its column. The candidate search needs, for every
// point of every candidate, how unevenly the line extends on the two sides:
// the table holds those differences and answers in one look.
#pragma once

#include "grid.h"

#include <cstdint>

class MaskRuns {
public:
    explicit MaskRuns(const Grid<std::uint8_t>& mask);

    // |conta_destra - conta_sinistra| and |conta_giu - conta_su| at the pixel
    // of cell index y * width + x.
    int across_row(std::size_t cell) const { return look(across_row_, cell, 1, 0); }
    int across_column(std::size_t cell) const { return look(across_column_, cell, 0, 1); }

private:
    // Consecutive line pixels of the mask from (x, y) + step on.
    static int run(const Grid<std::uint8_t>& mask, int x, int y, int sx, int sy);

    // Held in 16 bits; the rare difference that reaches the top value
    // (images over 65 535 pixels wide or high) is counted again on a copy of
    // the mask kept for it.
    static constexpr std::uint16_t counted_again = 0xFFFF;

    int look(const Grid<std::uint16_t>& table, std::size_t cell, int sx, int sy) const
    {
        const std::uint16_t d = table.cells()[cell];
        if (d != counted_again) return d;
        const std::size_t width = static_cast<std::size_t>(table.width());
        const int x = static_cast<int>(cell % width);
        const int y = static_cast<int>(cell / width);
        const int forth = run(long_runs_mask_, x, y, sx, sy);
        const int back = run(long_runs_mask_, x, y, -sx, -sy);
        return forth > back ? forth - back : back - forth;
    }

    Grid<std::uint16_t> across_row_, across_column_;
    Grid<std::uint8_t> long_runs_mask_;  // empty unless the image is that large
};
