// How far a mask's line pixels (any value but 255) reach from each pixel in
// the four axis directions: the number of consecutive line pixels from the
// next pixel on, to the image edge at most. The candidate search measures
// every point of every candidate this way; the table answers in one look.
#pragma once

#include "grid.h"

#include <cstdint>

class MaskRuns {
public:
    explicit MaskRuns(const Grid<std::uint8_t>& mask);

    int right(int x, int y) const { return look(right_, x, y, 1, 0); }
    int left(int x, int y) const { return look(left_, x, y, -1, 0); }
    int down(int x, int y) const { return look(down_, x, y, 0, 1); }
    int up(int x, int y) const { return look(up_, x, y, 0, -1); }

    // The same for the pixel of cell index y * width + x.
    int right(std::size_t cell) const { return look(right_, cell, 1, 0); }
    int left(std::size_t cell) const { return look(left_, cell, -1, 0); }
    int down(std::size_t cell) const { return look(down_, cell, 0, 1); }
    int up(std::size_t cell) const { return look(up_, cell, 0, -1); }

private:
    // Runs are held in 16 bits; the rare one that reaches the top value
    // (images over 65 535 pixels wide or high) is counted again on a copy of
    // the mask kept for it.
    static constexpr std::uint16_t counted_again = 0xFFFF;

    int look(const Grid<std::uint16_t>& runs, int x, int y, int sx, int sy) const
    {
        const std::uint16_t run = runs(x, y);
        return run != counted_again ? run : count_again(x, y, sx, sy);
    }
    int look(const Grid<std::uint16_t>& runs, std::size_t cell, int sx, int sy) const
    {
        const std::uint16_t run = runs.cells()[cell];
        if (run != counted_again) return run;
        const std::size_t width = static_cast<std::size_t>(runs.width());
        return count_again(static_cast<int>(cell % width), static_cast<int>(cell / width), sx, sy);
    }
    int count_again(int x, int y, int sx, int sy) const;

    Grid<std::uint16_t> right_, left_, down_, up_;
    Grid<std::uint8_t> long_runs_mask_;  // empty unless a run reached the top value
};
