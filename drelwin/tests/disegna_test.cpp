#include "disegna.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

namespace {

using Pixels = std::vector<std::pair<int, int>>;

// The drawn pixels in scan order (row by row from the top).
Pixels drawn(const Grid<std::uint8_t>& image)
{
    Pixels out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image(x, y) == drelwin_ink) out.emplace_back(x, y);
    return out;
}

Pixels draw_one(int x1, int y1, int x2, int y2, int width = 20, int height = 20)
{
    Grid<std::uint8_t> image(width, height, drelwin_background);
    draw_segment(image, x1, y1, x2, y2);
    return drawn(image);
}

SegmentTable table_of(const std::vector<std::vector<float>>& records, int fuzzy)
{
    SegmentTable t;
    t.fuzzy = fuzzy;
    t.n_segm = static_cast<int>(records.size());
    t.totale = t.n_segm;
    for (const auto& r : records) t.Pixel.insert(t.Pixel.end(), r.begin(), r.end());
    return t;
}

// The drawing walk step by step, every pixel tested against the raster.
void reference_segment(Grid<std::uint8_t>& image, long long x1, long long y1, long long x2, long long y2)
{
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const long long dx = std::llabs(x2 - x1), dy = y2 - y1;
    const int sx = x2 >= x1 ? 1 : -1;
    long long x = x1, y = y1;
    auto plot = [&] {
        if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) image(static_cast<int>(x), static_cast<int>(y)) = 0;
    };
    if (dx < dy) {
        long long error = dy / 4;
        plot();
        for (long long i = 0; i < dy; ++i) {
            error += dx;
            if (error >= dy) {
                x += sx;
                error -= dy;
            }
            ++y;
            plot();
        }
    } else {
        long long error = dx / 4;
        plot();
        for (long long i = 0; i < dx; ++i) {
            error += dy;
            if (error >= dx) {
                ++y;
                error -= dx;
            }
            x += sx;
            plot();
        }
    }
}

}  // namespace

TEST(Disegna, SteepSegmentPixels)
{
    const Pixels expected = {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 6}, {2, 7}, {2, 8}, {3, 9}};
    EXPECT_EQ(draw_one(0, 0, 3, 9), expected);
    // Either end first: the walk starts from the smaller row.
    EXPECT_EQ(draw_one(3, 9, 0, 0), expected);
}

TEST(Disegna, ReversedHorizontalAndSinglePoint)
{
    Pixels row5;
    for (int x = 2; x <= 8; ++x) row5.emplace_back(x, 5);
    EXPECT_EQ(draw_one(8, 5, 2, 5), row5);
    EXPECT_EQ(draw_one(4, 7, 4, 7), (Pixels{{4, 7}}));
}

TEST(Disegna, ShallowAndDiagonalSegments)
{
    // dx 9, dy 3, error from 2: one row down every third column.
    EXPECT_EQ(draw_one(0, 0, 9, 3), (Pixels{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}, {5, 1}, {6, 2}, {7, 2}, {8, 2}, {9, 3}}));
    EXPECT_EQ(draw_one(5, 0, 0, 5), (Pixels{{5, 0}, {4, 1}, {3, 2}, {2, 3}, {1, 4}, {0, 5}}));
}

TEST(Disegna, CoordinatesAreTruncatedTowardZero)
{
    EXPECT_EQ(truncate_coordinate(2.9f), 2);
    EXPECT_EQ(truncate_coordinate(-0.5f), 0);
    EXPECT_EQ(truncate_coordinate(-1.5f), -1);
    EXPECT_EQ(truncate_coordinate(1e20f), 2147483647);
    EXPECT_EQ(truncate_coordinate(-1e20f), -2147483647 - 1);
    const Grid<std::uint8_t> image = disegna(table_of({{2.9f, -0.5f, 2.9f, -0.5f}}, 4), 1, 5, 5);
    EXPECT_EQ(drawn(image), (Pixels{{2, 0}}));
}

TEST(Disegna, SegmentsLeavingTheRasterAreClipped)
{
    // From (-3, 1) to (6, 1) on a 4 x 3 raster: columns 0 to 3 only.
    EXPECT_EQ(draw_one(-3, 1, 6, 1, 4, 3), (Pixels{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
    EXPECT_TRUE(draw_one(-5, -5, -1, -9, 4, 3).empty());
    // Far ends draw what the step-by-step walk draws.
    Grid<std::uint8_t> fast(50, 40, drelwin_background), slow(50, 40, drelwin_background);
    draw_segment(fast, -20000000, -10000000, 20000000, 10000000);
    reference_segment(slow, -20000000, -10000000, 20000000, 10000000);
    EXPECT_EQ(fast, slow);
    EXPECT_FALSE(drawn(fast).empty());
}

TEST(Disegna, EndsAtTheLimitsOfTheIntRange)
{
    const int lowest = -2147483647 - 1, highest = 2147483647;
    // The diagonal through the whole range: one pixel per row and column.
    Pixels diagonal;
    for (int i = 0; i < 30; ++i) diagonal.emplace_back(i, i);
    EXPECT_EQ(draw_one(lowest, lowest, highest, highest, 30, 30), diagonal);
    // dx 2^32 - 1, dy 3, error from a quarter of dx: column 0 is reached at
    // step 2^31, where (dx/4 + 3 * 2^31) / dx gives row 1.
    Pixels row1;
    for (int x = 0; x < 30; ++x) row1.emplace_back(x, 1);
    EXPECT_EQ(draw_one(lowest, 0, highest, 3, 30, 30), row1);
    EXPECT_EQ(draw_one(0, highest, 0, lowest, 3, 2), (Pixels{{0, 0}, {0, 1}}));
}

TEST(Disegna, OnlyTheFirstFourValuesAndTheFirstTotaleRecordsCount)
{
    const Grid<std::uint8_t> five = disegna(table_of({{0, 0, 3, 0, 99}, {0, 2, 3, 2, -7}}, 5), 1, 4, 3);
    const Grid<std::uint8_t> four = disegna(table_of({{0, 0, 3, 0}}, 4), 1, 4, 3);
    EXPECT_EQ(five, four);
    EXPECT_EQ(drawn(four), (Pixels{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
}

// The clipped closed-form walk against the step-by-step walk.
TEST(Disegna, MatchesTheStepByStepWalkOnRandomSegments)
{
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> size(1, 40), near(-30, 70), far(-3000, 3000), kind(0, 3);
    for (int trial = 0; trial < 3000; ++trial) {
        const int width = size(rng), height = size(rng);
        Grid<std::uint8_t> fast(width, height, drelwin_background), slow(width, height, drelwin_background);
        for (int s = 0; s < 6; ++s) {
            auto coordinate = [&] { return kind(rng) == 0 ? far(rng) : near(rng); };
            const int x1 = coordinate(), y1 = coordinate(), x2 = coordinate(), y2 = coordinate();
            draw_segment(fast, x1, y1, x2, y2);
            reference_segment(slow, x1, y1, x2, y2);
            ASSERT_EQ(fast, slow) << width << "x" << height << " " << x1 << "," << y1 << " " << x2 << "," << y2;
        }
    }
}
