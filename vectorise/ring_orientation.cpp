#include "ring_orientation.h"

#include "platform.h"

#include <algorithm>
#include <cctype>
#include <string>

RingOrientation ring_orientation_from_environment()
{
    std::string value = environment_variable("SUITE_SHAPEFILE_RINGS");
    for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return value == "esri" ? RingOrientation::esri : RingOrientation::traced;
}

double twice_signed_area(const RecordRings& rings, std::int32_t p)
{
    const std::size_t begin = rings.ring_begin(p), end = rings.ring_end(p);
    if (end - begin < 3) return 0.0;
    // Relative to the first vertex, so large map-like coordinates lose nothing.
    const double x0 = rings.xy[2 * begin], y0 = rings.xy[2 * begin + 1];
    double sum = 0.0;
    for (std::size_t v = begin + 1; v + 1 < end; ++v) {
        const double ax = rings.xy[2 * v] - x0, ay = rings.xy[2 * v + 1] - y0;
        const double bx = rings.xy[2 * v + 2] - x0, by = rings.xy[2 * v + 3] - y0;
        sum += ax * by - bx * ay;
    }
    return sum;
}

namespace {

// A vertical edge at x, covering the rows y_low <= row < y_high (the
// horizontal line through a row's pixel centres, row + 0.5, crosses it).
struct VerticalEdge {
    double x, y_low, y_high;
};

// Count of inserted values at or below a given rank.
class FenwickCounts {
public:
    explicit FenwickCounts(std::size_t size) : tree_(size + 1, 0) {}
    void add(std::size_t rank, int delta)
    {
        for (std::size_t i = rank + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
    }
    // Sum over ranks 0 .. count-1.
    long long prefix(std::size_t count) const
    {
        long long sum = 0;
        for (std::size_t i = count; i > 0; i -= i & (~i + 1)) sum += tree_[i];
        return sum;
    }

private:
    std::vector<long long> tree_;
};

struct TestPoint {
    double x, y;  // the lowest vertex of the ring's leftmost side
    std::int32_t ring;
};

}  // namespace

std::vector<std::uint8_t> ring_nesting_parities(const RecordRings& rings)
{
    std::vector<std::uint8_t> parities(static_cast<std::size_t>(std::max(rings.parts, 0)), 0);
    if (rings.parts < 2) return parities;

    std::vector<VerticalEdge> edges;
    std::vector<TestPoint> tests;
    for (std::int32_t p = 0; p < rings.parts; ++p) {
        const std::size_t begin = rings.ring_begin(p), end = rings.ring_end(p);
        if (begin == end) continue;
        TestPoint test{rings.xy[2 * begin], rings.xy[2 * begin + 1], p};
        for (std::size_t v = begin; v < end; ++v) {
            const double x = rings.xy[2 * v], y = rings.xy[2 * v + 1];
            if (x < test.x || (x == test.x && y < test.y)) test = {x, y, p};
            if (v + 1 < end) {
                const double y_next = rings.xy[2 * v + 3];
                if (y_next != y) edges.push_back({x, std::min(y, y_next), std::max(y, y_next)});
            }
        }
        tests.push_back(test);
    }

    std::vector<double> xs;
    xs.reserve(edges.size());
    for (const auto& e : edges) xs.push_back(e.x);
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    auto rank_of = [&](double x) {
        return static_cast<std::size_t>(std::lower_bound(xs.begin(), xs.end(), x) - xs.begin());
    };

    std::vector<const VerticalEdge*> by_low, by_high;
    for (const auto& e : edges) {
        by_low.push_back(&e);
        by_high.push_back(&e);
    }
    std::sort(by_low.begin(), by_low.end(), [](auto a, auto b) { return a->y_low < b->y_low; });
    std::sort(by_high.begin(), by_high.end(), [](auto a, auto b) { return a->y_high < b->y_high; });
    std::sort(tests.begin(), tests.end(), [](const TestPoint& a, const TestPoint& b) { return a.y < b.y; });

    // Sweep the test rows upwards; an edge is active while it covers the row.
    FenwickCounts active(xs.size());
    std::size_t next_low = 0, next_high = 0;
    for (const TestPoint& test : tests) {
        for (; next_low < by_low.size() && by_low[next_low]->y_low <= test.y; ++next_low)
            active.add(rank_of(by_low[next_low]->x), +1);
        for (; next_high < by_high.size() && by_high[next_high]->y_high <= test.y; ++next_high)
            active.add(rank_of(by_high[next_high]->x), -1);
        // Crossings of the leftward ray from (x + 0.5, y + 0.5): the active
        // edges at or left of x. One of them is the ring's own leftmost side;
        // each other ring around the point adds an odd number, every other
        // ring an even one.
        const auto at_or_left = static_cast<std::size_t>(std::upper_bound(xs.begin(), xs.end(), test.x) - xs.begin());
        parities[static_cast<std::size_t>(test.ring)] = static_cast<std::uint8_t>((active.prefix(at_or_left) - 1) & 1);
    }
    return parities;
}

std::vector<bool> rings_to_reverse(const RecordRings& rings, RingOrientation orientation)
{
    std::vector<bool> reverse(static_cast<std::size_t>(std::max(rings.parts, 0)), false);
    if (orientation == RingOrientation::traced) return reverse;
    const std::vector<std::uint8_t> parities = ring_nesting_parities(rings);
    for (std::int32_t p = 0; p < rings.parts; ++p) {
        const double area = twice_signed_area(rings, p);
        const bool hole = parities[static_cast<std::size_t>(p)] != 0;
        // Clockwise (negative area) for outer rings and islands,
        // counter-clockwise (positive) for holes.
        reverse[static_cast<std::size_t>(p)] = hole ? area < 0 : area > 0;
    }
    return reverse;
}
