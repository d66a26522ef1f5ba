// The pixels of a straight segment between two pixels, as the segment
// extraction walks them: from the upper end (smaller row) down, one point per
// step of the major axis, the minor axis rounded half up.
#pragma once

#include "neighbours.h"

#include <cmath>
#include <vector>

class SegmentRaster {
public:
    SegmentRaster(int x1, int y1, int x2, int y2);

    int count() const { return count_; }

    Point point(int i) const
    {
        if (vertical_) return {x1_, y1_ + i};
        if (shallow_) return {x1_ + sign_x_ * i, y1_ + static_cast<int>(std::floor(i * slope_ + 0.5))};
        return {x1_ + sign_x_ * static_cast<int>(std::floor(i * inverse_ + 0.5)), y1_ + i};
    }

private:
    int x1_, y1_;
    int sign_x_;         // +1 when the lower end lies to the right, else -1
    bool vertical_;      // x1 = x2
    bool shallow_;       // slope at most 1: one point per column
    double slope_ = 0;   // |dy / dx|
    double inverse_ = 0; // 1 / slope
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
