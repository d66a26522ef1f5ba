#include "crossing_geometry.h"
#include "crossing_height.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

struct Crossing {
    int parallel;
    float x, y;
};

Crossing intersect(std::vector<float> v)
{
    Crossing c{0, -1, -1};
    c.parallel = MOD_intersezione_rette(&c.x, &c.y, v.data());
    return c;
}

}  // namespace

TEST(Crossing, LinesOfTheSegmentsIntersect)
{
    const Crossing diagonals = intersect({0, 0, 10, 10, 0, 10, 10, 0});
    EXPECT_EQ(diagonals.parallel, 0);
    EXPECT_EQ(diagonals.x, 5.0f);
    EXPECT_EQ(diagonals.y, 5.0f);

    const Crossing first_vertical = intersect({3, 0, 3, 20, 0, 5, 20, 5});
    EXPECT_EQ(first_vertical.parallel, 0);
    EXPECT_EQ(first_vertical.x, 3.0f);
    EXPECT_EQ(first_vertical.y, 5.0f);

    const Crossing second_vertical = intersect({0, 5, 20, 5, 3, 0, 3, 20});
    EXPECT_EQ(second_vertical.parallel, 0);
    EXPECT_EQ(second_vertical.x, 3.0f);
    EXPECT_EQ(second_vertical.y, 5.0f);

    // Segments that do not touch: their lines still cross.
    const Crossing apart = intersect({0, 0, 1, 1, 10, 0, 9, 1});
    EXPECT_EQ(apart.parallel, 0);
    EXPECT_EQ(apart.x, 5.0f);
    EXPECT_EQ(apart.y, 5.0f);
}

TEST(Crossing, ParallelLinesAreReported)
{
    EXPECT_EQ(intersect({0, 0, 10, 0, 0, 5, 10, 5}).parallel, 1);
    EXPECT_EQ(intersect({2, 0, 2, 9, 7, 1, 7, 8}).parallel, 1);
    EXPECT_EQ(intersect({0, 0, 4, 2, 1, 7, 9, 11}).parallel, 1);
}

TEST(Crossing, AngleBetweenTheLines)
{
    const float perpendicular[] = {0, 0, 10, 10, 0, 10, 10, 0};
    EXPECT_EQ(MOD_delta_alfa(perpendicular), 90.0f);
    // 45 degrees in radians scaled by 360 / 6.28, step by step in single
    // precision.
    const float diagonal_and_flat[] = {0, 0, 1, 1, 0, 0, 1, 0};
    const float scaled = static_cast<float>(0.78539816339744828) * 360;
    EXPECT_EQ(MOD_delta_alfa(diagonal_and_flat), static_cast<float>(scaled / 6.28));
    const float both_vertical[] = {2, 0, 2, 9, 7, 1, 7, 8};
    EXPECT_EQ(MOD_delta_alfa(both_vertical), 0.0f);
}

TEST(CrossingHeight, PeakAndMeansAroundACrossing)
{
    Grid<float> dtm(40, 40, 100.0f);
    for (int y = 18; y <= 22; ++y)
        for (int x = 18; x <= 22; ++x) dtm(x, y) = 104.0f;
    dtm(20, 23) = 150.0f;  // just outside the 5 x 5 window
    EXPECT_EQ(peak_around(dtm, 20, 20), 104.0f);
    EXPECT_EQ(row_mean(dtm, 20, 20), 100.0f);
    EXPECT_EQ(column_mean(dtm, 20, 20), 100.0f);

    // Near the left edge the missing cells still count in the divisor.
    EXPECT_EQ(row_mean(dtm, 5, 20), 50.0f);
    EXPECT_EQ(column_mean(dtm, 5, 20), 100.0f);
    EXPECT_EQ(column_mean(dtm, 5, 35), 50.0f);

    // Below zero everywhere: the peak stays 0.
    Grid<float> low(10, 10, -5.0f);
    EXPECT_EQ(peak_around(low, 0, 0), 0.0f);
}

TEST(CrossingHeight, MeansAreSummedInSinglePrecision)
{
    // Next to 2^24 a float absorbs each 1 that a double sum would keep.
    Grid<float> dtm(30, 3, 0.0f);
    dtm(4, 1) = 16777216.0f;  // x - 11 of x = 15
    dtm(5, 1) = 1.0f;         // x - 10
    dtm(25, 1) = 1.0f;        // x + 10
    dtm(26, 1) = 1.0f;        // x + 11
    EXPECT_EQ(row_mean(dtm, 15, 1), 16777216.0f / 8);
}

TEST(CrossingHeight, NodataAnywhereTheCrossingIsMeasuredOnLeavesItUnknown)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Cell {
        int x, y;
        bool measured;
    };
    // Around the crossing (20, 20): a window corner, a row-mean cell, a
    // column-mean cell; then cells that no part of the measure reads.
    const Cell cells[] = {{22, 22, true}, {9, 21, true}, {21, 9, true}, {23, 20, false}, {20, 12, false},
                          {30, 30, false}};
    for (const Cell& c : cells) {
        Grid<float> dtm(40, 40, 100.0f);
        dtm(c.x, c.y) = nan;
        EXPECT_EQ(measured_on_nodata(dtm, 20, 20), c.measured) << c.x << "," << c.y;
    }
    // Cells outside the raster are no nodata.
    EXPECT_FALSE(measured_on_nodata(Grid<float>(3, 3, 1.0f), 0, 0));
}
