// Rings traced from small class maps: vertices, order and orientation.
#include "contour_tracing.h"
#include "class_tracing.h"
#include "reference_vectoriser.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::vector<Ring>> trace(const std::vector<std::string>& rows, int class_index = 0)
{
    const Grid<std::uint8_t> classes = class_map(rows);
    RecordArrays records = reference_trace_class(classes, class_index);
    return records_as_rings(records);
}

Ring ring(std::initializer_list<std::pair<double, double>> vertices) { return Ring(vertices); }

// Twice the signed area: positive for a counter-clockwise ring (y up).
double signed_area(const Ring& r)
{
    double sum = 0;
    for (std::size_t i = 0; i + 1 < r.size(); ++i) sum += r[i].first * r[i + 1].second - r[i + 1].first * r[i].second;
    return sum;
}

}  // namespace

TEST(ContourTracing, CentrePixel)
{
    const auto records = trace({"...", ".#.", "..."});
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].size(), 1u);
    EXPECT_EQ(records[0][0], ring({{1, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 1}}));
}

TEST(ContourTracing, CentrePixelRecordArrays)
{
    RecordArrays records = reference_trace_class(class_map({"...", ".#.", "..."}), 0);
    EXPECT_EQ(records.part, (std::vector<std::int32_t>{1, 5, 0, -3000}));
    EXPECT_EQ(records.point, (std::vector<double>{1, 1, 2, 1, 2, 2, 1, 2, 1, 1}));
}

TEST(ContourTracing, FullImage)
{
    const auto records = trace({"##", "##"});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][0], ring({{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}}));
}

TEST(ContourTracing, DiagonalPairPassesTheSharedCornerTwice)
{
    const auto records = trace({"....", ".#..", "..#.", "...."});
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].size(), 1u);
    EXPECT_EQ(records[0][0], ring({{1, 2}, {2, 2}, {2, 1}, {3, 1}, {3, 2}, {2, 2}, {2, 3}, {1, 3}, {1, 2}}));
}

TEST(ContourTracing, SquareWithHole)
{
    const auto records = trace({".....", ".###.", ".#.#.", ".###.", "....."});
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].size(), 2u);
    EXPECT_EQ(records[0][0], ring({{1, 1}, {4, 1}, {4, 4}, {1, 4}, {1, 1}}));
    EXPECT_EQ(records[0][1], ring({{2, 2}, {2, 3}, {3, 3}, {3, 2}, {2, 2}}));
}

TEST(ContourTracing, RingWithIslandIsOneRecordOfThreeRings)
{
    const auto records = trace({
        ".......",
        ".#####.",
        ".#...#.",
        ".#.#.#.",
        ".#...#.",
        ".#####.",
        ".......",
    });
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].size(), 3u);
    EXPECT_EQ(records[0][0], ring({{1, 1}, {6, 1}, {6, 6}, {1, 6}, {1, 1}}));
    EXPECT_EQ(records[0][1], ring({{2, 2}, {2, 5}, {5, 5}, {5, 2}, {2, 2}}));
    EXPECT_EQ(records[0][2], ring({{3, 3}, {3, 4}, {4, 4}, {4, 3}, {3, 3}}));
    EXPECT_GT(signed_area(records[0][0]), 0);
    EXPECT_LT(signed_area(records[0][1]), 0);
    EXPECT_LT(signed_area(records[0][2]), 0);
}

TEST(ContourTracing, SeparatedPixelsAreTwoRecordsInScanOrder)
{
    const auto same_row = trace({"#.#"});
    ASSERT_EQ(same_row.size(), 2u);
    EXPECT_EQ(same_row[0][0][0], std::make_pair(0.0, 0.0));
    EXPECT_EQ(same_row[1][0][0], std::make_pair(2.0, 0.0));

    // The blob nearer the bottom comes first.
    const auto rows = trace({"#..", "...", "..#"});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0][0], std::make_pair(2.0, 0.0));
    EXPECT_EQ(rows[1][0][0], std::make_pair(0.0, 2.0));
}

TEST(ContourTracing, LAndUShapesKeepOnlyTheirCorners)
{
    const auto l_shape = trace({"#..", "#..", "###"});
    ASSERT_EQ(l_shape.size(), 1u);
    EXPECT_EQ(l_shape[0][0], ring({{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}, {0, 0}}));

    const auto u_shape = trace({"#.#", "#.#", "###"});
    ASSERT_EQ(u_shape.size(), 1u);
    EXPECT_EQ(u_shape[0][0],
              ring({{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}, {0, 0}}));
}

TEST(ContourTracing, ConvertitoreStepKeepsCornersOnly)
{
    // Closed raw chain of a 2 x 1 rectangle with a vertex on every pixel edge.
    const RingChain vettore = {1, 1, 2, 1, 3, 1, 3, 2, 2, 2, 1, 2, 1, 1};
    EXPECT_EQ(convertitore_step(vettore), (RingChain{1, 1, 3, 1, 3, 2, 1, 2, 1, 1}));
}

TEST(ContourTracing, EmptySearchGivesAnEmptyRecord)
{
    RecordArrays records = reference_trace_first_blob(class_map({"...", "..."}), 0);
    EXPECT_EQ(records.part, (std::vector<std::int32_t>{0, 0, -3000}));
    EXPECT_TRUE(records.point.empty());
}
