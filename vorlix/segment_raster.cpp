#include "segment_raster.h"

#include <cmath>
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
    vertical_ = x1 == x2;
    if (vertical_) {
        shallow_ = false;
        count_ = y2 - y1 + 1;
        return;
    }
    slope_ = std::fabs(static_cast<double>(y2 - y1) / static_cast<double>(x2 - x1));
    shallow_ = slope_ <= 1;
    if (shallow_) {
        count_ = std::abs(x2 - x1) + 1;
    } else {
        inverse_ = 1 / slope_;
        count_ = y2 - y1 + 1;
    }
}

int calc_punt_seg(int x1, int y1, int x2, int y2, std::vector<SegmentPoint>& punti_segmento)
{
    const SegmentRaster raster(x1, y1, x2, y2);
    punti_segmento.resize(raster.count());
    for (int i = 0; i < raster.count(); ++i) {
        const Point p = raster.point(i);
        punti_segmento[i] = SegmentPoint{p.x, p.y, 0, 0};
    }
    return raster.count();
}
