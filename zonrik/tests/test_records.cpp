#include "test_records.h"

#include <algorithm>

PixelRecord record_of(const std::vector<Ring>& rings)
{
    PixelRecord record;
    double x_min = 1e300, y_min = 1e300, x_max = -1e300, y_max = -1e300;
    for (const Ring& ring : rings) {
        record.parts.push_back(record.numpoints());
        for (const auto& [x, y] : ring) {
            record.points.push_back(x);
            record.points.push_back(y);
            x_min = std::min(x_min, x);
            x_max = std::max(x_max, x);
            y_min = std::min(y_min, y);
            y_max = std::max(y_max, y);
        }
    }
    record.box = {x_min, y_min, x_max, y_max};
    return record;
}

Ring rectangle(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
}
