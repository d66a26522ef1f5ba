#include "shadow.h"

#include "fixed_point.h"

#include <algorithm>

namespace samples {

namespace {

// num / den with den > 0.
struct Fraction {
    std::int64_t num, den;
};

bool at_most(Fraction a, Fraction b) { return a.num * b.den <= b.num * a.den; }

// The range of t for which t * v lies in [lo, hi] on one axis. False when
// no t does (v = 0 and the range excludes 0).
bool axis_range(std::int64_t v, std::int64_t lo, std::int64_t hi, Fraction& from, Fraction& to)
{
    if (v == 0) {
        from = {0, 1};
        to = {1, 1};
        return lo <= 0 && 0 <= hi;
    }
    if (v > 0) {
        from = {lo, v};
        to = {hi, v};
    } else {
        from = {-hi, -v};
        to = {-lo, -v};
    }
    return true;
}

// Does some t in [0, 1] put t * v within half a pixel of offset u on both axes?
bool in_stamp(int ux, int uy, ShadowVector v)
{
    const std::int64_t half = fixed_one / 2;
    Fraction from[3] = {{0, 1}, {0, 1}, {0, 1}}, to[3] = {{1, 1}, {1, 1}, {1, 1}};
    if (!axis_range(v.dx, (2 * ux - 1) * half, (2 * ux + 1) * half, from[1], to[1])) return false;
    if (!axis_range(v.dy, (2 * uy - 1) * half, (2 * uy + 1) * half, from[2], to[2])) return false;
    for (const Fraction& f : from)
        for (const Fraction& t : to)
            if (!at_most(f, t)) return false;
    return true;
}

// Whole pixels spanned by a fixed-point length, rounded outwards.
int pixels_down(std::int64_t v) { return static_cast<int>(v >= 0 ? v / fixed_one : -((-v + fixed_one - 1) / fixed_one)); }
int pixels_up(std::int64_t v) { return -pixels_down(-v); }

}  // namespace

std::vector<Offset> shadow_stamp(ShadowVector v)
{
    std::vector<Offset> stamp;
    const int x_lo = std::min(0, pixels_down(v.dx)) - 1, x_hi = std::max(0, pixels_up(v.dx)) + 1;
    const int y_lo = std::min(0, pixels_down(v.dy)) - 1, y_hi = std::max(0, pixels_up(v.dy)) + 1;
    for (int uy = y_lo; uy <= y_hi; ++uy)
        for (int ux = x_lo; ux <= x_hi; ++ux)
            if (in_stamp(ux, uy, v)) stamp.push_back({ux, uy});
    return stamp;
}

std::vector<Pixel> cast_shadow(const Footprint& footprint, ShadowVector v)
{
    const std::vector<Offset> stamp = shadow_stamp(v);
    int dx_lo = 0, dx_hi = 0, dy_lo = 0, dy_hi = 0;
    for (const Offset& o : stamp) {
        dx_lo = std::min(dx_lo, o.dx);
        dx_hi = std::max(dx_hi, o.dx);
        dy_lo = std::min(dy_lo, o.dy);
        dy_hi = std::max(dy_hi, o.dy);
    }
    // Marks over the footprint's box grown by the stamp's reach.
    const int x0 = footprint.x_min() + dx_lo, y0 = footprint.y_min() + dy_lo;
    Grid<std::uint8_t> marked(footprint.mask.width() + dx_hi - dx_lo, footprint.mask.height() + dy_hi - dy_lo, 0);
    for (const Pixel& p : footprint.outline())
        for (const Offset& o : stamp) marked(p.x + o.dx - x0, p.y + o.dy - y0) = 1;

    std::vector<Pixel> shadow;
    for (int y = 0; y < marked.height(); ++y)
        for (int x = 0; x < marked.width(); ++x)
            if (marked(x, y) && !footprint.contains(x0 + x, y0 + y)) shadow.push_back({x0 + x, y0 + y});
    return shadow;
}

}  // namespace samples
