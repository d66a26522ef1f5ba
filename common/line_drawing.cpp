#include "line_drawing.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// One walk of a segment: `major` + 1 pixels, pixel i at major coordinate
// a0 + sa*i and minor coordinate b0 + sb*q(i), where the minor steps
// q(i) = floor((e0 + i*minor) / major) are those of an error term that starts
// at e0, grows by `minor` per pixel and gives back `major` at each minor
// step. Counts stay below 2^32, so every product fits in 64 unsigned bits.
struct Walk {
    std::int64_t a0, b0;
    int sa, sb;
    std::uint64_t major, minor, e0;
};

// The first pixel index whose minor step count reaches t (major + 1 when
// none does).
std::uint64_t first_reaching(const Walk& w, std::int64_t t)
{
    if (t <= 0) return 0;
    const std::uint64_t steps = static_cast<std::uint64_t>(t);
    if (steps > w.minor) return w.major + 1;
    return (steps * w.major - w.e0 + w.minor - 1) / w.minor;
}

// The indices i for which a0 + s*i lies in 0..limit-1, within 0..count.
void clip_axis(std::int64_t start, int step, int limit, std::int64_t& lo, std::int64_t& hi)
{
    if (step > 0) {
        lo = std::max<std::int64_t>(lo, -start);
        hi = std::min<std::int64_t>(hi, limit - 1 - start);
    } else {
        lo = std::max<std::int64_t>(lo, start - (limit - 1));
        hi = std::min<std::int64_t>(hi, start);
    }
}

template <bool steep>
void walk(Grid<std::uint8_t>& image, const Walk& w, std::uint8_t ink)
{
    const int a_limit = steep ? image.height() : image.width();
    const int b_limit = steep ? image.width() : image.height();

    std::int64_t lo = 0, hi = static_cast<std::int64_t>(w.major);
    clip_axis(w.a0, w.sa, a_limit, lo, hi);
    // Minor steps allowed, then the pixel indices that have them.
    std::int64_t q_lo = std::numeric_limits<std::int64_t>::min(), q_hi = std::numeric_limits<std::int64_t>::max();
    clip_axis(w.b0, w.sb, b_limit, q_lo, q_hi);
    lo = std::max<std::int64_t>(lo, static_cast<std::int64_t>(first_reaching(w, q_lo)));
    hi = std::min<std::int64_t>(hi, static_cast<std::int64_t>(first_reaching(w, q_hi + 1)) - 1);
    if (lo > hi) return;

    const std::uint64_t reached = w.e0 + static_cast<std::uint64_t>(lo) * w.minor;
    std::uint64_t error = w.major ? reached % w.major : 0;
    int a = static_cast<int>(w.a0 + w.sa * lo);
    int b = static_cast<int>(w.b0 + w.sb * static_cast<std::int64_t>(w.major ? reached / w.major : 0));
    for (std::int64_t i = lo;; ++i) {
        if (steep)
            image(b, a) = ink;
        else
            image(a, b) = ink;
        if (i == hi) break;
        error += w.minor;
        if (error >= w.major) {
            error -= w.major;
            b += w.sb;
        }
        a += w.sa;
    }
}

}  // namespace

void draw_line(Grid<std::uint8_t>& image, int x1, int y1, int x2, int y2, std::uint8_t ink)
{
    // Start at the end with the smaller row.
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const std::int64_t dx_signed = static_cast<std::int64_t>(x2) - x1;
    const std::uint64_t dx = static_cast<std::uint64_t>(dx_signed < 0 ? -dx_signed : dx_signed);
    const std::uint64_t dy = static_cast<std::uint64_t>(static_cast<std::int64_t>(y2) - y1);
    const int sx = dx_signed >= 0 ? 1 : -1;

    if (dx < dy)
        walk<true>(image, Walk{y1, x1, 1, sx, dy, dx, dy / 4}, ink);
    else
        walk<false>(image, Walk{x1, y1, sx, 1, dx, dy, dx / 4}, ink);
}
