// The line drawer and the zone rasteriser: the examples of the zone rules,
// and the windowed rasteriser against the whole-grid procedure on random
// polygons.
#include "disegna.h"
#include "reference_zonrik.h"
#include "test_records.h"
#include "zone_rasteriser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

std::vector<std::pair<int, int>> drawn_cells(const Grid<std::uint8_t>& g)
{
    std::vector<std::pair<int, int>> cells;
    for (int x = 0; x < g.width(); ++x)
        for (int y = 0; y < g.height(); ++y)
            if (g(x, y) == 1) cells.emplace_back(x, y);
    return cells;
}

std::vector<std::pair<int, int>> zone_pixels(const PixelRecord& record)
{
    ZoneRasteriser rasteriser;
    std::vector<std::pair<int, int>> pixels;
    for (const ZonePixel& p : rasteriser.rasterise(record).pixels) pixels.emplace_back(p.x, p.y);
    return pixels;
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

TEST(ZoneRasteriser, HoleIsCutOutAndTheReversedOrderIsEmpty)
{
    std::vector<std::pair<int, int>> expected;
    for (const auto& p : block(1, 1, 6, 6))
        if (!(p.first >= 3 && p.first <= 4 && p.second >= 3 && p.second <= 4)) expected.push_back(p);
    EXPECT_EQ(zone_pixels(record_of({rectangle(1, 1, 7, 7), rectangle(3, 3, 5, 5)})), expected);
    EXPECT_TRUE(zone_pixels(record_of({rectangle(3, 3, 5, 5), rectangle(1, 1, 7, 7)})).empty());
}

TEST(ZoneRasteriser, NarrowAndDegeneratePolygonsAreEmpty)
{
    EXPECT_TRUE(zone_pixels(record_of({rectangle(2.1, 1, 2.9, 5)})).empty());
    EXPECT_TRUE(zone_pixels(record_of({{{3, 3}}})).empty());   // one vertex
    EXPECT_TRUE(zone_pixels(PixelRecord{{1, 1, 5, 5}, {}, {}}).empty());  // no parts
    // A second outer ring beside the first contributes nothing.
    EXPECT_EQ(zone_pixels(record_of({rectangle(1, 1, 3, 3), rectangle(5, 5, 7, 7)})), block(1, 1, 2, 2));
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
    PixelRecord record = record_of({rectangle(1, 1, 10, 5)});
    EXPECT_TRUE(outside_background(record, 10, 8));  // touches the right edge
    EXPECT_FALSE(outside_background(record, 11, 8));
    record.box[1] = -0.001;
    EXPECT_TRUE(outside_background(record, 11, 8));
    record.box = {1, 1, std::numeric_limits<double>::quiet_NaN(), 5};
    EXPECT_TRUE(outside_background(record, 11, 8));
    record.box = {-std::numeric_limits<double>::infinity(), 1, 2, 5};
    EXPECT_TRUE(outside_background(record, 11, 8));
}

namespace {

// Random polygons inside a width x height grid: rectangles, stars and
// zig-zags with vertices anywhere (self-crossing ones too), axis-parallel
// outlines on pixel corners, holes, extra outer rings, single-vertex and
// empty parts, unordered part starts, and boxes smaller than the points.
PixelRecord random_record(std::mt19937& rng, int width, int height)
{
    std::uniform_real_distribution<double> ux(0.0, width - 1e-9), uy(0.0, height - 1e-9);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto coordinate = [&](bool x) {
        double v = x ? ux(rng) : uy(rng);
        switch (pick(4)) {
        case 0: return std::floor(v);
        case 1: return std::floor(v) + 0.5;
        default: return v;
        }
    };
    std::vector<Ring> rings;
    const int ring_count = 1 + pick(3);
    for (int r = 0; r < ring_count; ++r) {
        Ring ring;
        switch (pick(4)) {
        case 0: {
            double x0 = coordinate(true), x1 = coordinate(true), y0 = coordinate(false), y1 = coordinate(false);
            ring = rectangle(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
            break;
        }
        case 1: {  // staircase on pixel corners
            double x = std::floor(ux(rng)), y = std::floor(uy(rng));
            ring.emplace_back(x, y);
            for (int s = 0, n = 2 + pick(8); s < n; ++s) {
                if (s % 2 == 0) x = std::floor(ux(rng)); else y = std::floor(uy(rng));
                ring.emplace_back(x, y);
            }
            ring.push_back(ring.front());
            break;
        }
        default: {
            for (int s = 0, n = 1 + pick(9); s < n; ++s) ring.emplace_back(coordinate(true), coordinate(false));
            if (pick(5) != 0) ring.push_back(ring.front());
        }
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
    int non_empty = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 23), height = 1 + static_cast<int>(rng() % 19);
        const PixelRecord record = random_record(rng, width, height);
        if (outside_background(record, width, height)) continue;
        const auto expected = reference_zone(record, width, height);
        ASSERT_EQ(zone_pixels(record), expected) << "trial " << trial;
        non_empty += !expected.empty();
    }
    EXPECT_GT(non_empty, 1000);
}
