#include "rings.h"

#include <algorithm>

Corner lowest_corner(const EdgeRing& ring)
{
    return *std::min_element(ring.begin(), ring.end(), row_before);
}

namespace {

// Direction of a step: 0 east, 1 north, 2 west, 3 south; -1 for no step.
int step_direction(const Corner& a, const Corner& b)
{
    if (b.x > a.x) return 0;
    if (b.y > a.y) return 1;
    if (b.x < a.x) return 2;
    if (b.y < a.y) return 3;
    return -1;
}

}  // namespace

EdgeRing traced_form(const std::vector<Corner>& walk)
{
    // The distinct points in order, the closing repeat left out.
    std::vector<Corner> points;
    for (const Corner& c : walk)
        if (points.empty() || points.back() != c) points.push_back(c);
    while (points.size() > 1 && points.back() == points.front()) points.pop_back();
    const std::size_t n = points.size();
    std::vector<Corner> corners;
    for (std::size_t i = 0; i < n; ++i) {
        const Corner& before = points[(i + n - 1) % n];
        const Corner& here = points[i];
        const Corner& after = points[(i + 1) % n];
        if (step_direction(before, here) != step_direction(here, after)) corners.push_back(here);
    }
    if (corners.empty()) return {};
    const auto first = std::min_element(corners.begin(), corners.end(), column_before);
    EdgeRing ring(first, corners.end());
    ring.insert(ring.end(), corners.begin(), first);
    ring.push_back(ring.front());
    return ring;
}

EdgeRing reversed(const EdgeRing& ring)
{
    return EdgeRing(ring.rbegin(), ring.rend());
}

bool pixel_inside(const EdgeRing& ring, const Corner& pixel)
{
    // Crossings of the leftward ray from the pixel's centre with the
    // vertical edges.
    bool inside = false;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        const Corner& a = ring[i];
        const Corner& b = ring[i + 1];
        if (a.x != b.x || a.x > pixel.x) continue;
        if (std::min(a.y, b.y) <= pixel.y && pixel.y < std::max(a.y, b.y)) inside = !inside;
    }
    return inside;
}

std::int64_t twice_area(const EdgeRing& ring)
{
    std::int64_t sum = 0;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i)
        sum += static_cast<std::int64_t>(ring[i].x) * ring[i + 1].y - static_cast<std::int64_t>(ring[i + 1].x) * ring[i].y;
    return sum;
}

RingIndex::RingIndex(const EdgeRing& ring)
{
    if (ring.empty()) return;
    const Corner low = lowest_corner(ring);
    std::int32_t high_y = low.y;
    for (const Corner& c : ring) high_y = std::max(high_y, c.y);
    first_band_ = low.y / band_rows;
    bands_.resize(static_cast<std::size_t>(high_y / band_rows - first_band_ + 1));
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        const Corner& a = ring[i];
        const Corner& b = ring[i + 1];
        if (a.x != b.x || a.y == b.y) continue;
        const Edge edge{a.x, std::min(a.y, b.y), std::max(a.y, b.y)};
        for (std::int32_t band = edge.y_low / band_rows; band <= (edge.y_high - 1) / band_rows; ++band)
            bands_[static_cast<std::size_t>(band - first_band_)].push_back(edge);
    }
}

bool RingIndex::pixel_inside(const Corner& pixel) const
{
    const std::int32_t band = pixel.y / band_rows - first_band_;
    if (band < 0 || band >= static_cast<std::int32_t>(bands_.size())) return false;
    bool inside = false;
    for (const Edge& edge : bands_[static_cast<std::size_t>(band)])
        if (edge.x <= pixel.x && edge.y_low <= pixel.y && pixel.y < edge.y_high) inside = !inside;
    return inside;
}
