#include "random_images.h"
#include "reference_filter.h"
#include "segment_extraction.h"
#include "segment_raster.h"

#include <gtest/gtest.h>

#include <random>

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

void expect_same_extraction(const Grid<std::uint8_t>& mask, const std::string& what)
{
    Grid<std::uint8_t> fast = mask, ref = mask;
    std::string fast_console, ref_console;
    const std::vector<ExtractedSegment> got = extract_segments(fast, [&](const ExtractedSegment& s) {
        char line[96];
        std::snprintf(line, sizeof line, "\nESTRATTO SEGMENTO: %d %d %d %d", s.x1, s.y1, s.x2, s.y2);
        fast_console += line;
    });
    const std::vector<reference::Segment> want = reference::extract_segments(ref, ref_console);
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].x1, want[i].x1) << what << " segment " << i;
        EXPECT_EQ(got[i].y1, want[i].y1) << what << " segment " << i;
        EXPECT_EQ(got[i].x2, want[i].x2) << what << " segment " << i;
        EXPECT_EQ(got[i].y2, want[i].y2) << what << " segment " << i;
        EXPECT_EQ(got[i].punteggio, want[i].punteggio) << what << " segment " << i;
    }
    EXPECT_EQ(fast_console, ref_console) << what;
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
