#include "segment_raster.h"

#include <cstdlib>
#include <utility>

SegmentRaster::SegmentRaster(int x1, int y1, int x2, int y2)
{
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    x1_ = x1;
    y1_ = y1;
    sign_x_ = x2 < x1 ? -1 : 1;
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(x2) - x1);
    const std::int64_t dy = static_cast<std::int64_t>(y2) - y1;
    if (dx == 0) {
        // Vertical: one point per row, no minor offset.
        steep_ = true;
        major_ = 1;
        minor_ = 0;
        factor_ = 0;
    } else {
        const double slope = std::fabs(static_cast<double>(y2 - y1) / static_cast<double>(x2 - x1));
        steep_ = slope > 1;
        major_ = static_cast<int>(steep_ ? dy : dx);
        minor_ = static_cast<int>(steep_ ? dx : dy);
        factor_ = steep_ ? 1 / slope : slope;
    }
    count_ = steep_ ? static_cast<int>(dy) + 1 : static_cast<int>(dx) + 1;
    // The doubles round within a few parts in 2^52 of the exact value, which
    // stays below the 1 / (2 * major) margin while major * minor < 2^40.
    integers_exact_ = static_cast<std::int64_t>(major_) * (minor_ + 1) < (std::int64_t{1} << 40);
}

int calc_punt_seg(int x1, int y1, int x2, int y2, std::vector<SegmentPoint>& punti_segmento)
{
    const SegmentRaster raster(x1, y1, x2, y2);
    punti_segmento.clear();
    raster.all_of([&](Point p) {
        punti_segmento.push_back(SegmentPoint{p.x, p.y, 0, 0});
        return true;
    });
    return raster.count();
}
