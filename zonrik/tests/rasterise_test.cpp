// The line drawer and the zone rasteriser: the examples of the zone rules,
// and the windowed rasteriser against the whole-grid procedure on random
// polygons.
#include "disegna.h"
#include "reference_zonrik.h"
#include "ring_outlines.h"
#include "test_records.h"
#include "zone_rasteriser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <tuple>

namespace {

std::vector<std::pair<int, int>> drawn_cells(const Grid<std::uint8_t>& g)
{
    std::vector<std::pair<int, int>> cells;
    for (int x = 0; x < g.width(); ++x)
        for (int y = 0; y < g.height(); ++y)
            if (g(x, y) == 1) cells.emplace_back(x, y);
    return cells;
}

std::vector<std::pair<int, int>> zone_pixels(const PixelRecord& record, int width = 40, int height = 40)
{
    ZoneRasteriser rasteriser;
    std::vector<std::pair<int, int>> pixels;
    for (const ZonePixel& p : rasteriser.rasterise(record, width, height).pixels) pixels.emplace_back(p.x, p.y);
    return pixels;
}

std::vector<std::pair<int, int>> sorted(std::vector<std::pair<int, int>> pixels)
{
    std::sort(pixels.begin(), pixels.end(),
              [](auto a, auto b) { return std::tie(a.second, a.first) < std::tie(b.second, b.first); });
    return pixels;
}

std::vector<std::pair<int, int>> joined(std::vector<std::pair<int, int>> a, const std::vector<std::pair<int, int>>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return sorted(a);
}

std::vector<std::pair<int, int>> block(int x0, int y0, int x1, int y1)
{
    std::vector<std::pair<int, int>> pixels;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) pixels.emplace_back(x, y);
    return pixels;
}

}  // namespace

TEST(Disegna, ShallowLineTakesItsDiagonalStepsOnTheThirdAndSeventh)
{
    Grid<std::uint8_t> g(10, 4, 0);
    disegna(0, 0, 8, 2, g);
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1},
                                                       {5, 1}, {6, 1}, {7, 2}, {8, 2}};
    EXPECT_EQ(drawn_cells(g), expected);
}

TEST(Disegna, EndsAreSwappedToDrawUpwards)
{
    Grid<std::uint8_t> up(12, 12, 0), down(12, 12, 0);
    disegna(5, 1, 5, 9, up);
    disegna(5, 9, 5, 1, down);
    EXPECT_EQ(up, down);
    EXPECT_EQ(drawn_cells(up).size(), 9u);

    Grid<std::uint8_t> a(12, 12, 0), b(12, 12, 0);
    disegna(9, 1, 2, 10, a);  // steep, leftwards
    disegna(2, 10, 9, 1, b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a(9, 1), 1);
    EXPECT_EQ(a(2, 10), 1);
    EXPECT_EQ(drawn_cells(a).size(), 10u);
}

TEST(Disegna, ZeroLengthPlotsOneCellAndOutsideCellsAreLeftAlone)
{
    Grid<std::uint8_t> g(4, 4, 0);
    disegna(2, 2, 2, 2, g);
    EXPECT_EQ(drawn_cells(g), (std::vector<std::pair<int, int>>{{2, 2}}));
    Grid<std::uint8_t> h(4, 4, 0);
    disegna(-3, 1, 6, 1, h);
    EXPECT_EQ(drawn_cells(h).size(), 4u);
}

TEST(ZoneRasteriser, RectangleTakesLeftAndBottomEdgePixels)
{
    EXPECT_EQ(zone_pixels(record_of({rectangle(2.5, 3.5, 6.5, 7.5)})), block(2, 3, 5, 6));
    // The same rectangle with the vertices in the other direction.
    Ring reversed = rectangle(2.5, 3.5, 6.5, 7.5);
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(zone_pixels(record_of({reversed})), block(2, 3, 5, 6));
}

TEST(ZoneRasteriser, RingsCountByParityWhateverTheirOrder)
{
    std::vector<std::pair<int, int>> ring;  // the square 1..6 without its middle 3..4
    for (const auto& p : block(1, 1, 6, 6))
        if (!(p.first >= 3 && p.first <= 4 && p.second >= 3 && p.second <= 4)) ring.push_back(p);
    EXPECT_EQ(zone_pixels(record_of({rectangle(1, 1, 7, 7), rectangle(3, 3, 5, 5)})), ring);
    EXPECT_EQ(zone_pixels(record_of({rectangle(3, 3, 5, 5), rectangle(1, 1, 7, 7)})), ring);
    // An island in the hole, and a second outer ring beside the first.
    EXPECT_EQ(zone_pixels(record_of({rectangle(0, 0, 8, 8), rectangle(2, 2, 6, 6), rectangle(3, 3, 5, 5)})),
              joined(block(3, 3, 4, 4), [] {
                  std::vector<std::pair<int, int>> frame;
                  for (const auto& p : block(0, 0, 7, 7))
                      if (!(p.first >= 2 && p.first <= 5 && p.second >= 2 && p.second <= 5)) frame.push_back(p);
                  return frame;
              }()));
    EXPECT_EQ(zone_pixels(record_of({rectangle(1, 1, 3, 3), rectangle(5, 5, 7, 7)})),
              joined(block(1, 1, 2, 2), block(5, 5, 6, 6)));
    // Overlapping outer rings: the overlap is marked twice and left out.
    EXPECT_EQ(zone_pixels(record_of({rectangle(0, 0, 2, 1), rectangle(1, 0, 3, 1)})),
              joined(block(0, 0, 0, 0), block(2, 0, 2, 0)));
}

TEST(ZoneRasteriser, VertexWhereARingTouchesItselfLetsTheFloodThrough)
{
    // A 5 x 5 blob with a hole of seven pixels round the pixel (2, 2), which
    // hangs on the blob by its corner (3, 3) only: the hole's ring passes
    // that corner twice.
    const Ring hole = {{1, 1}, {4, 1}, {4, 3}, {3, 3}, {3, 2}, {2, 2}, {2, 3}, {3, 3}, {3, 4}, {1, 4}, {1, 1}};
    std::vector<std::pair<int, int>> blob;
    for (const auto& p : block(0, 0, 4, 4)) {
        const bool in_hole = p.first >= 1 && p.first <= 3 && p.second >= 1 && p.second <= 3 &&
                             p != std::make_pair(2, 2) && p != std::make_pair(3, 3);
        if (!in_hole) blob.push_back(p);
    }
    EXPECT_EQ(zone_pixels(record_of({rectangle(0, 0, 5, 5), hole})), blob);
    EXPECT_EQ(zone_pixels(record_of({hole})), joined(block(1, 1, 3, 1), {{1, 2}, {3, 2}, {1, 3}, {2, 3}}));

    // A ring pinched into two squares at the corner (2, 2), and the same
    // outline starting at the pinch.
    EXPECT_EQ(zone_pixels(record_of({{{0, 0}, {2, 0}, {2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}, {0, 2}, {0, 0}}})),
              joined(block(0, 0, 1, 1), block(2, 2, 3, 3)));
    EXPECT_EQ(zone_pixels(record_of({{{2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}, {0, 2}, {0, 0}, {2, 0}, {2, 2}}})),
              joined(block(0, 0, 1, 1), block(2, 2, 3, 3)));
}

TEST(ZoneRasteriser, NarrowAndDegeneratePolygonsAreEmpty)
{
    EXPECT_TRUE(zone_pixels(record_of({rectangle(2.1, 1, 2.9, 5)})).empty());
    EXPECT_TRUE(zone_pixels(record_of({{{3, 3}}})).empty());   // one vertex
    EXPECT_TRUE(zone_pixels(PixelRecord{{1, 1, 5, 5}, {}, {}}).empty());  // no parts
    EXPECT_TRUE(zone_pixels(record_of({{{1, 1}, {6, 4}, {1, 1}}})).empty());  // out and back
}

TEST(ZoneRasteriser, OnlyPixelsInsideTheBackgroundAreInTheZone)
{
    // The whole background, its last column and top row included.
    EXPECT_EQ(zone_pixels(record_of({rectangle(0, 0, 10, 8)}), 10, 8), block(0, 0, 9, 7));
    EXPECT_EQ(zone_pixels(record_of({rectangle(-3, -2, 4, 3)}), 10, 8), block(0, 0, 3, 2));
    EXPECT_EQ(zone_pixels(record_of({rectangle(7.5, 6, 15, 30)}), 10, 8), block(7, 6, 9, 7));
    EXPECT_EQ(zone_pixels(record_of({rectangle(-1e300, -1e300, 1e300, 1e300)}), 10, 8), block(0, 0, 9, 7));
    // A hole reaching out of the background, and a polygon wholly outside.
    EXPECT_EQ(zone_pixels(record_of({rectangle(-5, -5, 15, 13), rectangle(5, -9, 20, 20)}), 10, 8), block(0, 0, 4, 7));
    EXPECT_TRUE(zone_pixels(record_of({rectangle(11, 1, 15, 5)}), 10, 8).empty());
    // A triangle whose long side crosses the background: the pixels below
    // the diagonal y = x of the 8 x 8 background.
    const auto triangle = zone_pixels(record_of({{{-40, -40}, {48, -40}, {48, 48}, {-40, -40}}}), 8, 8);
    EXPECT_EQ(triangle.size(), 8u * 7 / 2);
    for (const auto& [x, y] : triangle) EXPECT_LT(y, x);
}

TEST(ZoneRasteriser, PointsOutsideTheBoxAreClippedToIt)
{
    PixelRecord record = record_of({rectangle(-40, -3, 90, 70)});
    record.box = {2, 1, 6, 5};
    EXPECT_EQ(zone_pixels(record), block(2, 1, 5, 4));
    record.points[0] = std::numeric_limits<double>::quiet_NaN();  // goes to the box's low side
    EXPECT_EQ(zone_pixels(record), block(2, 1, 5, 4));
    record.box = {6, 1, 2, 5};  // minimum above maximum
    EXPECT_TRUE(zone_pixels(record).empty());
}

TEST(ZoneRasteriser, SkipRule)
{
    PixelRecord record = record_of({rectangle(0, 0, 10, 8)});
    EXPECT_FALSE(outside_background(record, 10, 8, false));  // on the edges
    EXPECT_TRUE(outside_background(record, 9, 8, false));
    EXPECT_TRUE(outside_background(record, 10, 7, false));
    EXPECT_FALSE(outside_background(record, 9, 7, true));  // partly outside
    record.box[1] = -0.001;
    EXPECT_TRUE(outside_background(record, 10, 8, false));
    EXPECT_FALSE(outside_background(record, 10, 8, true));
    // Wholly outside, touching an edge at most.
    for (const auto& box : {std::array<double, 4>{10, 1, 12, 5}, {-3, 1, 0, 5}, {1, 8, 5, 9}, {1, -4, 5, 0}}) {
        record.box = box;
        EXPECT_TRUE(outside_background(record, 10, 8, true));
    }
    record.box = {1, 1, std::numeric_limits<double>::quiet_NaN(), 5};
    EXPECT_TRUE(outside_background(record, 11, 8, false));
    EXPECT_TRUE(outside_background(record, 11, 8, true));
    record.box = {-std::numeric_limits<double>::infinity(), 1, 2, 5};
    EXPECT_TRUE(outside_background(record, 11, 8, true));
}

namespace {

// Random records on a width x height grid, one in three reaching beyond it
// (now and then far beyond): rectangles, stars and zig-zags with vertices
// anywhere (self-crossing ones too), axis-parallel outlines on pixel corners,
// rings nested in rings (holes, islands in them), several outer rings, rings
// that come back to one of their vertices (loops hanging on a corner,
// spikes), single-vertex and empty parts, unordered part starts, and boxes
// smaller than the points.
PixelRecord random_record(std::mt19937& rng, int width, int height)
{
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const double reach = pick(3) != 0 ? 0.0 : pick(8) == 0 ? 1e6 : 3.0;
    std::uniform_real_distribution<double> ux(-reach, width + reach - 1e-9), uy(-reach, height + reach - 1e-9);
    auto coordinate = [&](bool x) {
        double v = x ? ux(rng) : uy(rng);
        switch (pick(4)) {
        case 0: return std::floor(v);
        case 1: return std::floor(v) + 0.5;
        default: return v;
        }
    };
    auto corner = [&](bool x) { return std::floor(x ? ux(rng) : uy(rng)); };
    std::vector<Ring> rings;
    const int ring_count = 1 + pick(4);
    for (int r = 0; r < ring_count; ++r) {
        Ring ring;
        switch (pick(5)) {
        case 0: {
            double x0 = coordinate(true), x1 = coordinate(true), y0 = coordinate(false), y1 = coordinate(false);
            ring = rectangle(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
            break;
        }
        case 1: {  // staircase on pixel corners
            double x = corner(true), y = corner(false);
            ring.emplace_back(x, y);
            for (int s = 0, n = 2 + pick(8); s < n; ++s) {
                if (s % 2 == 0) x = corner(true); else y = corner(false);
                ring.emplace_back(x, y);
            }
            ring.push_back(ring.front());
            break;
        }
        case 2:  // inside the previous ring's box: a hole, or an island in one
            if (!rings.empty()) {
                double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
                for (const auto& [x, y] : rings.back()) {
                    x0 = std::min(x0, x); x1 = std::max(x1, x); y0 = std::min(y0, y); y1 = std::max(y1, y);
                }
                const double dx = (x1 - x0) / 4, dy = (y1 - y0) / 4;
                ring = rectangle(std::floor(x0 + dx), std::floor(y0 + dy), std::ceil(x1 - dx), std::ceil(y1 - dy));
                if (pick(2) == 0) std::reverse(ring.begin(), ring.end());
                break;
            }
            [[fallthrough]];
        default: {
            for (int s = 0, n = 1 + pick(9); s < n; ++s) ring.emplace_back(coordinate(true), coordinate(false));
            if (pick(5) != 0) ring.push_back(ring.front());
        }
        }
        // Loops and spikes hanging on a vertex of the ring: out from it and
        // back to the same point.
        for (int detours = pick(3) == 0 ? 1 + pick(3) : 0; detours > 0 && ring.size() > 1; --detours) {
            const std::size_t at = rng() % (ring.size() - 1);
            Ring detour;
            for (int s = 0, n = 1 + pick(4); s < n; ++s)
                detour.emplace_back(pick(2) ? corner(true) : coordinate(true), pick(2) ? corner(false) : coordinate(false));
            detour.push_back(ring[at]);
            ring.insert(ring.begin() + static_cast<long>(at) + 1, detour.begin(), detour.end());
        }
        rings.push_back(ring);
    }
    PixelRecord record = record_of(rings);
    if (pick(6) == 0) {  // a box tighter than the points
        record.box[0] += (record.box[2] - record.box[0]) * 0.3;
        record.box[3] -= (record.box[3] - record.box[1]) * 0.3;
    }
    if (pick(10) == 0 && record.parts.size() > 1) std::swap(record.parts[0], record.parts[1]);
    if (pick(12) == 0) record.parts.push_back(record.numpoints());  // an empty last part
    return record;
}

}  // namespace

TEST(ZoneRasteriser, SameZonesAsTheWholeGridFloodOnRandomPolygons)
{
    std::mt19937 rng(20240611);
    int non_empty = 0, several_rings = 0, touching = 0, beyond = 0;
    LoopCutter cutter;
    for (int trial = 0; trial < 3000; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 23), height = 1 + static_cast<int>(rng() % 19);
        const PixelRecord record = random_record(rng, width, height);
        if (outside_background(record, width, height, true)) continue;
        const auto expected = reference_zone(record, width, height);
        ASSERT_EQ(zone_pixels(record, width, height), expected) << "trial " << trial;
        if (expected.empty()) continue;
        ++non_empty;
        several_rings += record.parts.size() > 1;
        beyond += outside_background(record, width, height, false);
        for (std::size_t i = 0; i + 1 < record.parts.size(); ++i) {
            if (record.parts[i + 1] - record.parts[i] < 2) continue;
            cutter.cut(record.points.data() + 2 * record.parts[i], record.parts[i + 1] - record.parts[i]);
            touching += cutter.loops().size() > 1;
        }
    }
    EXPECT_GT(non_empty, 1000);
    EXPECT_GT(several_rings, 500);
    EXPECT_GT(touching, 300);
    EXPECT_GT(beyond, 300);
}

namespace {

// Random records of rings that do not cross themselves, reaching up to three
// pixels beyond a width x height grid: each ring one or two star-shaped
// loops (vertices in order of their angle round a centre, some on pixel
// corners, some anywhere) joined at a vertex.
PixelRecord simple_record(std::mt19937& rng, int width, int height)
{
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::uniform_real_distribution<double> ux(-3.0, width + 3.0), uy(-3.0, height + 3.0), unit(0.0, 1.0);
    auto star = [&](double cx, double cy) {
        const double reach = 1 + 8 * unit(rng);
        std::vector<double> angles(3 + pick(6));
        for (double& a : angles) a = 2 * M_PI * unit(rng);
        std::sort(angles.begin(), angles.end());
        Ring loop;
        for (double a : angles) {
            double x = std::clamp(cx + reach * unit(rng) * std::cos(a), -3.0, width + 3.0);
            double y = std::clamp(cy + reach * unit(rng) * std::sin(a), -3.0, height + 3.0);
            if (pick(2) == 0) {
                x = std::floor(x);
                y = std::floor(y);
            }
            loop.emplace_back(x, y);
        }
        loop.push_back(loop.front());
        return loop;
    };
    std::vector<Ring> rings(1 + pick(3));
    for (Ring& ring : rings) {
        ring = star(ux(rng), uy(rng));
        if (pick(2) == 0) {  // a second loop hanging on the first one's first vertex
            Ring second = star(ring.front().first, ring.front().second);
            second.front() = second.back() = ring.front();
            ring.insert(ring.end(), second.begin() + 1, second.end());
        }
    }
    return record_of(rings);
}

}  // namespace

TEST(ZoneRasteriser, PolygonsCutOffAtTheFrameKeepTheirPixelsInside)
{
    // A record reaching beyond the background gives the pixels that it gives
    // on a background large enough to hold it whole, moved by whole pixels
    // so that their cells move with them.
    std::mt19937 rng(5150);
    int compared = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 23), height = 1 + static_cast<int>(rng() % 19);
        const PixelRecord record = simple_record(rng, width, height);
        if (!outside_background(record, width, height, false)) continue;
        PixelRecord moved = record;
        for (double& v : moved.points) v += 4;
        for (double& v : moved.box) v += 4;
        std::vector<std::pair<int, int>> expected;
        for (const auto& [x, y] : zone_pixels(moved, width + 8, height + 8))
            if (x >= 4 && x < width + 4 && y >= 4 && y < height + 4) expected.emplace_back(x - 4, y - 4);
        ASSERT_EQ(zone_pixels(record, width, height), expected) << "trial " << trial;
        compared += !expected.empty();
    }
    EXPECT_GT(compared, 1000);
}
