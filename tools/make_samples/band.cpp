#include "band.h"

#include <cstdint>

namespace samples {

bool Band::covers(int x, int y) const
{
    // In half pixels, so that the pixel centre is a whole number.
    const std::int64_t hx = 2 * x + 1 - 2 * x1, hy = 2 * y + 1 - 2 * y1;
    const std::int64_t dx = x2 - x1, dy = y2 - y1;
    const std::int64_t length2 = dx * dx + dy * dy;
    const std::int64_t along = hx * dx + hy * dy;  // 2 * distance along the line * length
    if (along < 0 || along > 2 * length2) return false;
    const std::int64_t across = hx * dy - hy * dx;  // 2 * distance from the line * length
    const std::int64_t w = width_tenths;
    return 100 * across * across <= w * w * length2;
}

}  // namespace samples
