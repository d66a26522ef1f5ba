#include "crossing_geometry.h"

#include <cmath>

namespace {

// Stands for the slope of a vertical segment.
constexpr float vertical_slope = 999999.0f;

float slope(float xa, float ya, float xb, float yb)
{
    return (yb - ya) / (xb - xa);
}

float slope_or_vertical(float xa, float ya, float xb, float yb)
{
    return xb == xa ? vertical_slope : slope(xa, ya, xb, yb);
}

}  // namespace

float MOD_delta_alfa(const float* v)
{
    const float m1 = slope_or_vertical(v[0], v[1], v[2], v[3]);
    const float m2 = slope_or_vertical(v[4], v[5], v[6], v[7]);
    const double f = static_cast<double>(m1) * m2 + 1.0;
    if (f == 0) return 90;
    const float radians = static_cast<float>(std::fabs(std::atan((m1 - m2) / f)));
    const float scaled = radians * 360;
    return static_cast<float>(scaled / 6.28);
}

int MOD_intersezione_rette(float* x, float* y, const float* v)
{
    if (MOD_delta_alfa(v) == 0) return 1;
    const float x1 = v[0], y1 = v[1], x2 = v[2], y2 = v[3];
    const float x3 = v[4], y3 = v[5], x4 = v[6], y4 = v[7];

    if (x2 != x1 && x4 != x3) {
        const float m1 = slope(x1, y1, x2, y2);
        const float m2 = slope(x3, y3, x4, y4);
        if (m1 - m2 == 0) return 1;
        const float a1 = y1 - x1 * m1;
        *x = (y3 - x3 * m2 - a1) / (m1 - m2);
        *y = *x * m1 + a1;
    } else if (x2 == x1) {
        const float m2 = slope(x3, y3, x4, y4);
        *x = x1;
        *y = x1 * m2 + (y3 - x3 * m2);
    } else {
        const float m1 = slope(x1, y1, x2, y2);
        *x = x3;
        *y = x3 * m1 + (y1 - x1 * m1);
    }
    return 0;
}
