#include "trace_walk.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

void disegna_segmenti_vettore(PointList& vettore, int x1, int y1, int x2, int y2, int width, int height)
{
    vettore.clear();
    for (SegmentWalk walk(x1, y1, x2, y2); !walk.done(); walk.next())
        if (walk.kept(width, height)) vettore.push_back({static_cast<int>(walk.x()), static_cast<int>(walk.y())});
}

SegmentWalk::SegmentWalk(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2)
{
    reversed_ = y2 < y1;
    if (reversed_) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const std::int64_t dx = x2 - x1;
    const std::int64_t dy = y2 - y1;
    sign_x_ = dx >= 0 ? 1 : -1;
    steep_ = std::llabs(dx) < dy;
    long_side_ = steep_ ? dy : std::llabs(dx);
    short_side_ = steep_ ? std::llabs(dx) : dy;
    // The error term is back at its start value, a quarter of the long side,
    // after the last step: it has taken long_side short sides and dropped
    // short_side long sides.
    salto_ = long_side_ / 4;
    remaining_ = long_side_;
    x_ = reversed_ ? x2 : x1;
    y_ = reversed_ ? y2 : y1;
}

void SegmentWalk::next()
{
    --remaining_;
    if (remaining_ < 0) return;
    if (!reversed_) {
        salto_ += short_side_;
        if (salto_ >= long_side_) {
            salto_ -= long_side_;
            x_ += sign_x_;
            y_ += 1;
        } else if (steep_) {
            y_ += 1;
        } else {
            x_ += sign_x_;
        }
        return;
    }
    salto_ -= short_side_;
    if (salto_ < 0) {
        salto_ += long_side_;
        x_ -= sign_x_;
        y_ -= 1;
    } else if (steep_) {
        y_ -= 1;
    } else {
        x_ -= sign_x_;
    }
}

TraceHit scan_tracce(const Grid<std::uint8_t>& Immagine, Point from, Point to, int colore_x, CellPlacement placement)
{
    TraceHit hit;
    const std::int64_t columns = Immagine.width();
    const std::int64_t rows = Immagine.height();
    const std::int64_t scale = placement.scale, offset = placement.offset;
    // A cell back to the pixel it stands for: the halving is fixed, whatever
    // the scale.
    auto pixel_of = [offset](std::int64_t x, std::int64_t y) {
        return Point{static_cast<int>((x - offset) / 2), static_cast<int>((y - offset) / 2)};
    };
    bool started = false;  // a point of the list was met
    std::int64_t previous_x = 0, previous_y = 0;
    for (SegmentWalk walk(offset + from.x * scale, offset + from.y * scale, offset + to.x * scale,
                          offset + to.y * scale);
         !walk.done(); walk.next()) {
        const std::int64_t x = walk.x(), y = walk.y();
        if (!walk.kept(columns, rows)) {
            // The short axis only moves one way: once out of the bounds
            // after being in them, no later point is kept.
            if (started) return hit;
            continue;
        }
        if (x < 0 || x >= columns || y < 0 || y >= rows) {
            hit.pixel = {TraceHit::left_image, TraceHit::left_image};
            return hit;
        }
        if (!started) {
            previous_x = x;
            previous_y = y;
            started = true;
        }
        if (Immagine(static_cast<int>(x), static_cast<int>(y)) == colore_x) {
            hit.pixel = pixel_of(x, y);
            hit.pixel_before = pixel_of(previous_x, previous_y);
            return hit;
        }
        previous_x = x;
        previous_y = y;
    }
    return hit;
}

namespace {

// Nearest integer, an exact half rounded down; clamped to the int range.
int nearest_pixel(float v)
{
    const double lower = std::floor(static_cast<double>(v));
    const double rounded = lower + (v - lower > 0.5 ? 1 : 0);
    if (!(rounded > INT_MIN)) return INT_MIN;  // NaN too
    if (rounded > INT_MAX) return INT_MAX;
    return static_cast<int>(rounded);
}

}  // namespace

Point estremi_alfa(Point from, float alfa, int l, Point origin)
{
    const double radians = alfa / 57.296;
    const std::int64_t x0 = std::int64_t{from.x} + origin.x, y0 = std::int64_t{from.y} + origin.y;
    const float x = static_cast<float>(l * std::cos(radians) + static_cast<double>(x0));
    const float y = static_cast<float>(l * std::sin(radians) + static_cast<double>(y0));
    auto back = [](int v, int o) {
        return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{v} - o, INT_MIN, INT_MAX));
    };
    return {back(nearest_pixel(x), origin.x), back(nearest_pixel(y), origin.y)};
}

float MOD_distanza(const std::array<float, 4>& v)
{
    const float dx = v[0] - v[2];
    const float dy = v[1] - v[3];
    return static_cast<float>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
}

float pixel_distance(int x1, int y1, int x2, int y2)
{
    return MOD_distanza({static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                         static_cast<float>(y2)});
}
