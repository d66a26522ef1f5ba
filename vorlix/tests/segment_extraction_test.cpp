#include "line_neighbourhood.h"
#include "mask_runs.h"
#include "random_images.h"
#include "reached_plane.h"
#include "reference_filter.h"
#include "segment_extraction.h"
#include "segment_raster.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <limits>
#include <random>
#include <utility>

TEST(SegmentRaster, SwapsToTheUpperEndAndRoundsHalfUp)
{
    std::vector<SegmentPoint> points;
    ASSERT_EQ(calc_punt_seg(10, 5, 0, 0, points), 11);
    const int ys[11] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(points[i].x, i);
        EXPECT_EQ(points[i].y, ys[i]);
    }
    ASSERT_EQ(calc_punt_seg(3, 3, 3, 3, points), 1);
    EXPECT_EQ(points[0].x, 3);
    EXPECT_EQ(points[0].y, 3);
    // Steep, towards the left: one point per row.
    ASSERT_EQ(calc_punt_seg(4, 0, 0, 8, points), 9);
    EXPECT_EQ(points[1].x, 4 - 1);  // floor(1 * 0.5 + 0.5)
    EXPECT_EQ(points[8].x, 0);
}

namespace {

std::vector<std::pair<int, int>> raster_points(const SegmentRaster& raster)
{
    std::vector<std::pair<int, int>> points;
    raster.all_of([&](Point p) {
        points.emplace_back(p.x, p.y);
        return true;
    });
    return points;
}

}  // namespace

// The integer walk and point(i) give the points of the doubles, also where
// i * slope + 0.5 is a whole number (slopes 1/2, 3/2, 5/6 ...) and for ends
// far apart; the middle point lies within one pixel of the middle of the
// ends, which the search's first look relies on.
TEST(SegmentRaster, IntegersGiveThePointsOfTheDoubles)
{
    std::mt19937 rng(11);
    std::vector<std::array<int, 4>> ends = {{0, 0, 10, 5},   {0, 0, 6, 9},     {7, 3, 1, 8},   {5, 5, 5, 40},
                                            {2, 9, 40, 9},   {0, 0, 12, 10},   {30, 0, 0, 45}, {0, 0, 1000, 333},
                                            {0, 0, 3, 2000}, {9, 9, 9, 9},     {4, 0, 0, 8},   {100, 0, 0, 100}};
    for (int i = 0; i < 3000; ++i) {
        const int span = i < 1500 ? 20 : 3000;
        std::uniform_int_distribution<int> coordinate(0, span);
        ends.push_back({coordinate(rng), coordinate(rng), coordinate(rng), coordinate(rng)});
    }
    for (const auto& e : ends) {
        const std::vector<std::pair<int, int>> want = reference::segment_points(e[0], e[1], e[2], e[3]);
        const SegmentRaster raster(e[0], e[1], e[2], e[3]);
        ASSERT_EQ(raster.count(), static_cast<int>(want.size()));
        EXPECT_EQ(raster_points(raster), want) << e[0] << "," << e[1] << " " << e[2] << "," << e[3];
        std::vector<std::pair<int, int>> from_cells;
        const int width = 4000;
        raster.all_of_cells(width, [&](std::ptrdiff_t cell) {
            from_cells.emplace_back(static_cast<int>(cell % width), static_cast<int>(cell / width));
            return true;
        });
        EXPECT_EQ(from_cells, want);
        for (int k = 0; k < raster.count(); k += 1 + raster.count() / 7) {
            const Point p = raster.point(k);
            EXPECT_EQ(std::make_pair(p.x, p.y), want[k]);
        }
        const Point middle = raster.point(raster.count() / 2);
        EXPECT_LE(std::abs(middle.x - (e[0] + e[2]) / 2), 1);
        EXPECT_LE(std::abs(middle.y - (e[1] + e[3]) / 2), 1);
    }
}

// The candidate search drops a pair when no line pixel lies within two
// pixels of the rounded quarter points of its ends: the points n / 4 and
// 3n / 4 of its segment must lie that near, whichever end is the upper one.
TEST(SegmentRaster, QuarterLooksLieNearTheRoundedQuarterPoints)
{
    std::mt19937 rng(31);
    for (int k = 0; k < 200000; ++k) {
        const int range = k % 2 == 0 ? 40 : 5000;
        const int x1 = static_cast<int>(rng() % range), y1 = static_cast<int>(rng() % range);
        const int x2 = static_cast<int>(rng() % range), y2 = static_cast<int>(rng() % range);
        const SegmentRaster raster(x1, y1, x2, y2);
        const int n = raster.count();
        const Point quarters[2] = {{(3 * x1 + x2) / 4, (3 * y1 + y2) / 4}, {(x1 + 3 * x2) / 4, (y1 + 3 * y2) / 4}};
        auto within_two = [](Point p, Point q) { return std::abs(p.x - q.x) <= 2 && std::abs(p.y - q.y) <= 2; };
        const Point first = raster.point(n / 4);
        const Point last = raster.point(3 * n / 4);
        ASSERT_TRUE((within_two(first, quarters[0]) && within_two(last, quarters[1])) ||
                    (within_two(first, quarters[1]) && within_two(last, quarters[0])))
            << x1 << "," << y1 << " " << x2 << "," << y2;
    }
}

// Run lengths and line neighbourhoods from their tables, against counting.
TEST(SegmentRaster, MaskTablesMatchCounting)
{
    for (std::uint32_t seed : {21u, 22u, 23u}) {
        Grid<std::uint8_t> mask = testimages::line_mask(37, 29, seed);
        const MaskRuns runs(mask);
        LineNeighbourhood near(mask);
        std::mt19937 rng(seed);
        for (int round = 0; round < 2; ++round) {
            for (int y = 0; y < mask.height(); ++y)
                for (int x = 0; x < mask.width(); ++x) {
                    auto count = [&](int sx, int sy) {
                        int n = 0;
                        for (int xx = x + sx, yy = y + sy; mask.contains(xx, yy) && mask(xx, yy) != 255;
                             xx += sx, yy += sy)
                            ++n;
                        return n;
                    };
                    if (round == 0) {
                        const std::size_t cell = static_cast<std::size_t>(y) * mask.width() + x;
                        ASSERT_EQ(runs.across_row(cell), std::abs(count(1, 0) - count(-1, 0)));
                        ASSERT_EQ(runs.across_column(cell), std::abs(count(0, 1) - count(0, -1)));
                    }
                    bool line_near = false;
                    for (int yy = y - 1; yy <= y + 1; ++yy)
                        for (int xx = x - 1; xx <= x + 1; ++xx)
                            line_near = line_near || (mask.contains(xx, yy) && mask(xx, yy) != 255);
                    ASSERT_EQ(near.near_line(x, y), line_near) << x << "," << y << " round " << round;
                    bool line_near_2 = false;
                    for (int yy = y - 2; yy <= y + 2; ++yy)
                        for (int xx = x - 2; xx <= x + 2; ++xx)
                            line_near_2 = line_near_2 || (mask.contains(xx, yy) && mask(xx, yy) != 255);
                    ASSERT_EQ(near.near_line_2(x, y), line_near_2) << x << "," << y << " round " << round;
                    ASSERT_EQ(near.is_line(static_cast<std::size_t>(y) * mask.width() + x), mask(x, y) != 255);
                }
            // Stretches of rows and columns read a word at a time.
            for (int k = 0; k < 200; ++k) {
                const int y = static_cast<int>(rng() % mask.height());
                const int x0 = static_cast<int>(rng() % mask.width());
                const int x1 = x0 + static_cast<int>(rng() % (mask.width() - x0));
                std::vector<int> want, got;
                for (int x = x0; x <= x1; ++x)
                    if (mask(x, y) != 255) want.push_back(x);
                near.line_in_row(y, x0, x1, [&](int x) { got.push_back(x); });
                ASSERT_EQ(got, want) << "row " << y << " from " << x0 << " to " << x1;
                const int x = x0;
                const int y0 = static_cast<int>(rng() % mask.height());
                const int y1 = y0 + static_cast<int>(rng() % (mask.height() - y0));
                want.clear();
                got.clear();
                for (int yy = y0; yy <= y1; ++yy)
                    if (mask(x, yy) != 255) want.push_back(yy);
                near.line_in_column(x, y0, y1, [&](int yy) { got.push_back(yy); });
                ASSERT_EQ(got, want) << "column " << x << " from " << y0 << " to " << y1;
                // Rectangles, also reaching past the edges.
                const int rx0 = static_cast<int>(rng() % (mask.width() + 8)) - 4;
                const int ry0 = static_cast<int>(rng() % (mask.height() + 8)) - 4;
                const int rx1 = rx0 + static_cast<int>(rng() % 70);
                const int ry1 = ry0 + static_cast<int>(rng() % 5);
                bool any = false;
                for (int yy = ry0; yy <= ry1; ++yy)
                    for (int xx = rx0; xx <= rx1; ++xx) any = any || (mask.contains(xx, yy) && mask(xx, yy) != 255);
                ASSERT_EQ(near.line_in_rectangle(rx0, ry0, rx1, ry1), any) << rx0 << "," << ry0 << " " << rx1 << "," << ry1;
            }
            // Line pixels consumed as the extraction does.
            for (auto& v : mask.cells()) {
                if (v != 255 && rng() % 2 == 0) {
                    const std::size_t i = static_cast<std::size_t>(&v - mask.cells().data());
                    v = 255;
                    near.consumed(static_cast<int>(i % mask.width()), static_cast<int>(i / mask.width()));
                }
            }
        }
    }
}

// What had been reached when a search ran: earlier growths' pixels and the
// growth's own first ones; pixels a growth took back and a clearing are
// forgotten, also across a renumbering of the stamps.
TEST(ReachedPlane, AnswersForAnyPointOfTheGrowth)
{
    ReachedPlane plane(4, 1);
    plane.start_growth(4);
    plane.reach(0, 0, 0);
    plane.end_growth(1);
    plane.start_growth(4);
    plane.reach(2, 0, 0);
    plane.reach(0, 0, 1);  // reached before: keeps its earlier stamp
    plane.reach(3, 0, 2);
    EXPECT_TRUE(plane.reached_before(0, 0, 0));
    EXPECT_FALSE(plane.reached_before(2, 0, 0));
    EXPECT_TRUE(plane.reached_before(2, 0, 1));
    EXPECT_FALSE(plane.reached_before(3, 0, 2));
    plane.unreach(3, 0, 2);
    plane.unreach(0, 0, 1);  // not the growth's own: stays
    plane.end_growth(2);
    plane.start_growth(std::numeric_limits<std::uint32_t>::max() - 2);  // renumbers
    for (int x = 0; x < 4; ++x) EXPECT_EQ(plane.reached(x, 0), x == 0 || x == 2) << x;
    plane.reach(1, 0, 0);
    EXPECT_FALSE(plane.reached_before(1, 0, 0));
    EXPECT_TRUE(plane.reached_before(2, 0, 0));
    plane.end_growth(1);
    plane.clear();
    for (int x = 0; x < 4; ++x) EXPECT_FALSE(plane.reached(x, 0)) << x;
}

TEST(SegmentExtraction, HorizontalBandGivesItsMiddleRow)
{
    Grid<std::uint8_t> mask(100, 30, 255);
    for (int y = 10; y <= 12; ++y)
        for (int x = 20; x <= 79; ++x) mask(x, y) = 0;
    const std::vector<ExtractedSegment> segments = extract_segments(mask);
    ASSERT_EQ(segments.size(), 1u);
    const ExtractedSegment& s = segments[0];
    EXPECT_EQ((std::vector<int>{s.x1, s.y1, s.x2, s.y2}), (std::vector<int>{20, 11, 79, 11}));
    char line[64];
    std::snprintf(line, sizeof line, "%5d %5d %5d %5d %5.2f\r\n", s.x1, s.y1, s.x2, s.y2, s.punteggio);
    EXPECT_STREQ(line, "   20    11    79    11 -6.00\r\n");
    EXPECT_TRUE(mask == Grid<std::uint8_t>(100, 30, 255));  // the whole band is consumed
}

TEST(SegmentExtraction, NothingFromBackgroundOrFromUsedPixelsOnly)
{
    Grid<std::uint8_t> empty(20, 20, 255);
    EXPECT_TRUE(extract_segments(empty).empty());

    Grid<std::uint8_t> used(40, 20, 255);
    for (int y = 5; y <= 7; ++y)
        for (int x = 3; x <= 35; ++x) used(x, y) = 100;
    EXPECT_TRUE(extract_segments(used).empty());
}

namespace {

// The same segments as the plain list growth, scores bit for bit, in the
// same order, with the same console text, on one thread or several.
void expect_same_extraction(const Grid<std::uint8_t>& mask, const std::string& what)
{
    Grid<std::uint8_t> ref = mask;
    std::string ref_console;
    const std::vector<reference::Segment> want = reference::extract_segments(ref, ref_console);
    for (int threads : {1, 2, 3}) {
        Grid<std::uint8_t> fast = mask;
        std::string fast_console;
        const std::vector<ExtractedSegment> got = extract_segments(
            fast,
            [&](const ExtractedSegment& s) {
                char line[96];
                std::snprintf(line, sizeof line, "\nESTRATTO SEGMENTO: %d %d %d %d", s.x1, s.y1, s.x2, s.y2);
                fast_console += line;
            },
            threads);
        const std::string where = what + ", " + std::to_string(threads) + " thread(s)";
        ASSERT_EQ(got.size(), want.size()) << where;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].x1, want[i].x1) << where << " segment " << i;
            EXPECT_EQ(got[i].y1, want[i].y1) << where << " segment " << i;
            EXPECT_EQ(got[i].x2, want[i].x2) << where << " segment " << i;
            EXPECT_EQ(got[i].y2, want[i].y2) << where << " segment " << i;
            EXPECT_EQ(got[i].punteggio, want[i].punteggio) << where << " segment " << i;
        }
        EXPECT_EQ(fast_console, ref_console) << where;
    }
}

}  // namespace

// Crossing thick and thin lines, notches and stray pixels: the same segments,
// scores bit for bit, in the same order.
TEST(SegmentExtraction, MatchesTheListGrowthOnRandomMasks)
{
    std::uint32_t seed = 7000;
    for (auto [w, h] : {std::pair{40, 30}, {64, 48}, {90, 20}, {12, 70}, {5, 5}}) {
        for (int i = 0; i < 8; ++i) {
            const std::uint32_t s = seed++;
            expect_same_extraction(testimages::line_mask(w, h, s), "line mask " + std::to_string(s));
        }
    }
}

// Masks that also hold pixels left over from earlier bands (100), and
// scattered pixels.
TEST(SegmentExtraction, MatchesWithLeftoverAndScatteredPixels)
{
    std::uint32_t seed = 8000;
    for (int i = 0; i < 12; ++i) {
        const std::uint32_t s = seed++;
        Grid<std::uint8_t> mask = testimages::line_mask(48, 36, s);
        std::mt19937 rng(s);
        for (auto& v : mask.cells())
            if (v == 0 && rng() % 3 == 0) v = 100;
        expect_same_extraction(mask, "leftover mask " + std::to_string(s));
        expect_same_extraction(testimages::speckle_mask(30, 24, 0.35 + 0.03 * i, s), "speckle " + std::to_string(s));
    }
}

// Long lines crossing large masks: growths that run many searches, which
// several threads run ahead of the growth (also past the search that ends
// it).
TEST(SegmentExtraction, MatchesOnLongGrowths)
{
    for (std::uint32_t seed : {9000u, 9001u, 9002u}) {
        Grid<std::uint8_t> mask = testimages::line_mask(150, 120, seed);
        expect_same_extraction(mask, "long lines " + std::to_string(seed));
    }
}
