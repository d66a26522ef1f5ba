// The pixels of a straight segment between two pixels, as the segment
// extraction walks them: from the upper end (smaller row) down, one point per
// step of the major axis, the minor axis rounded half up.
//
// The minor offset of point i is floor(i * slope + 0.5) with the slope (or
// its inverse) in doubles. It is worked out in integers instead: the exact
// value i * minor / major + 1/2 lies at least 1 / (2 * major) away from a
// whole number unless it is one, far more than the rounding of the doubles,
// so both floor alike; only where it is a whole number exactly may the
// doubles fall either side, and there the doubles are asked.
#pragma once

#include "neighbours.h"

#include <cmath>
#include <cstdint>
#include <vector>

class SegmentRaster {
public:
    SegmentRaster(int x1, int y1, int x2, int y2);

    int count() const { return count_; }

    Point point(int i) const
    {
        const std::int64_t numerator = 2 * static_cast<std::int64_t>(i) * minor_ + major_;
        const std::int64_t denominator = 2 * static_cast<std::int64_t>(major_);
        std::int64_t offset = numerator / denominator;
        if (numerator % denominator == 0 || !integers_exact_) offset = double_offset(i);
        return at(i, static_cast<int>(offset));
    }

    // Calls visit(point) for the points in order while it returns true;
    // returns whether it did for every point.
    template <typename Visit>
    bool all_of(Visit visit) const
    {
        return walk([&](int i, int minor_offset) { return visit(at(i, minor_offset)); });
    }

    // The same over the cells of a grid `width` pixels wide: visit(index)
    // with index = y * width + x.
    template <typename Visit>
    bool all_of_cells(std::ptrdiff_t width, Visit visit) const
    {
        const std::ptrdiff_t major_step = steep_ ? width : sign_x_;
        const std::ptrdiff_t minor_step = steep_ ? sign_x_ : width;
        const std::ptrdiff_t first = static_cast<std::ptrdiff_t>(y1_) * width + x1_;
        if (!integers_exact_) {
            for (int i = 0; i < count_; ++i)
                if (!visit(first + i * major_step + double_offset(i) * minor_step)) return false;
            return true;
        }
        // As walk() below, with the cell index carried along.
        const std::int64_t denominator = 2 * static_cast<std::int64_t>(major_);
        const std::int64_t step_numerator = 2 * static_cast<std::int64_t>(minor_);
        const std::int64_t step_offset = step_numerator / denominator;
        const std::int64_t step_rest = step_numerator % denominator;
        const std::ptrdiff_t step = major_step + static_cast<std::ptrdiff_t>(step_offset) * minor_step;
        std::int64_t offset = 0;
        std::int64_t rest = major_;
        std::ptrdiff_t cell = first;
        for (int i = 0; i < count_; ++i) {
            const std::ptrdiff_t exact_half = rest == 0 ? (double_offset(i) - offset) * minor_step : 0;
            if (!visit(cell + exact_half)) return false;
            cell += step;
            offset += step_offset;
            rest += step_rest;
            if (rest >= denominator) {
                rest -= denominator;
                ++offset;
                cell += minor_step;
            }
        }
        return true;
    }

private:
    // Calls step(i, minor offset of point i) for the points in order while
    // it returns true; returns whether it did for every point.
    template <typename Step>
    bool walk(Step step) const
    {
        if (!integers_exact_) {
            for (int i = 0; i < count_; ++i)
                if (!step(i, static_cast<int>(double_offset(i)))) return false;
            return true;
        }
        // numerator = 2 * i * minor + major, kept as offset * denominator + rest.
        const std::int64_t denominator = 2 * static_cast<std::int64_t>(major_);
        const std::int64_t step_numerator = 2 * static_cast<std::int64_t>(minor_);
        const int step_offset = static_cast<int>(step_numerator / denominator);
        const std::int64_t step_rest = step_numerator % denominator;
        int offset = 0;
        std::int64_t rest = major_;
        for (int i = 0; i < count_; ++i) {
            if (!step(i, rest == 0 ? static_cast<int>(double_offset(i)) : offset)) return false;
            offset += step_offset;
            rest += step_rest;
            if (rest >= denominator) {
                rest -= denominator;
                ++offset;
            }
        }
        return true;
    }

    Point at(int i, int minor_offset) const
    {
        if (steep_) return {x1_ + sign_x_ * minor_offset, y1_ + i};
        return {x1_ + sign_x_ * i, y1_ + minor_offset};
    }

    // The minor offset of point i as the doubles give it.
    std::int64_t double_offset(int i) const
    {
        return static_cast<std::int64_t>(std::floor(i * factor_ + 0.5));
    }

    int x1_, y1_;
    int sign_x_;           // +1 when the lower end lies to the right, else -1
    bool steep_;           // slope above 1 (or vertical): one point per row
    int major_;            // length along the major axis (at least 1)
    int minor_;            // length along the minor axis
    double factor_ = 0;    // |dy / dx|, or its inverse when steep (0 when vertical)
    bool integers_exact_;  // the coordinates are small enough for the argument above
    int count_;
};

// A point of a rasterised segment with its horizontal and vertical run
// lengths through the mask (filled when the segment is extracted).
struct SegmentPoint {
    int x = 0;
    int y = 0;
    int larg_v = 0;
    int larg_o = 0;
};

// Rasterises the segment into punti_segmento (x and y) and returns the count.
int calc_punt_seg(int x1, int y1, int x2, int y2, std::vector<SegmentPoint>& punti_segmento);
