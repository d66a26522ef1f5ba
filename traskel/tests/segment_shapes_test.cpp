// Shape type and records built from a table of segments.
#include "segment_shapes.h"

#include "shapefile_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

SegmentTable table_of(const std::vector<std::vector<float>>& segments, int fuzzy = 4)
{
    SegmentTable table;
    table.fuzzy = fuzzy;
    for (const auto& s : segments) table.Pixel.insert(table.Pixel.end(), s.begin(), s.end());
    table.n_segm = static_cast<int>(segments.size());
    table.totale = table.n_segm;
    return table;
}

// A closed square with its lower-left corner at (x, y), walked
// counter-clockwise.
std::vector<std::vector<float>> square(float x, float y, float side)
{
    return {{x, y, x + side, y}, {x + side, y, x + side, y + side}, {x + side, y + side, x, y + side}, {x, y + side, x, y}};
}

std::vector<std::vector<float>> concat(std::vector<std::vector<float>> a, const std::vector<std::vector<float>>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(SegmentShapes, ClosedGroupsOfFourArePolygons)
{
    const SegmentTable t = table_of(concat(square(0, 0, 2), square(5, 5, 1)));
    EXPECT_TRUE(closed_groups_of_four(t, 8));
    EXPECT_EQ(shape_type_of_segments(t, 8), shape_type_polygon);

    const RecordArrays r = segment_records(t, 8, shape_type_polygon);
    EXPECT_EQ(r.part, (std::vector<std::int32_t>{1, 5, 0, -3000, 1, 5, 0, -3000}));
    EXPECT_EQ(r.point, (std::vector<double>{0, 0, 2, 0, 2, 2, 0, 2, 0, 0, 5, 5, 6, 5, 6, 6, 5, 6, 5, 5}));
}

TEST(SegmentShapes, CountNotAMultipleOfFourGivesPolylines)
{
    std::vector<std::vector<float>> segments = concat(square(0, 0, 2), square(5, 5, 1));
    segments.pop_back();
    const SegmentTable t = table_of(segments);
    EXPECT_EQ(shape_type_of_segments(t, 7), shape_type_polyline);
    const RecordArrays r = segment_records(t, 7, shape_type_polyline);
    EXPECT_EQ(r.part.size(), 28u);
    EXPECT_EQ(r.point.size(), 28u);
    EXPECT_EQ(std::vector<double>(r.point.begin() + 8, r.point.begin() + 12), (std::vector<double>{2, 2, 0, 2}));
}

TEST(SegmentShapes, OneOpenGroupMakesEveryRecordAPolyline)
{
    for (int group = 0; group < 2; ++group) {
        std::vector<std::vector<float>> segments = concat(square(0, 0, 2), square(5, 5, 1));
        segments[4 * group + 3][3] += 0.5f;  // s3 ends beside the start of s0
        const SegmentTable t = table_of(segments);
        EXPECT_FALSE(closed_groups_of_four(t, 8)) << group;
        EXPECT_EQ(shape_type_of_segments(t, 8), shape_type_polyline) << group;
        EXPECT_EQ(segment_records(t, 8, shape_type_polyline).record_count(), 8u) << group;
    }
}

TEST(SegmentShapes, EveryJointIsComparedExactlyInBothCoordinates)
{
    // Each of the eight coordinates of the four joints, moved by one float step.
    for (int joint = 0; joint < 4; ++joint) {
        for (int coordinate = 0; coordinate < 2; ++coordinate) {
            std::vector<std::vector<float>> segments = square(1000, 3, 7);
            float& end = segments[joint][2 + coordinate];
            end = std::nextafter(end, 1e9f);
            EXPECT_FALSE(closed_groups_of_four(table_of(segments), 4)) << joint << coordinate;
        }
    }
    // Ends meeting starts is what counts, not the geometry: a group whose
    // segments join end to start in file order is closed even when it
    // crosses itself.
    const SegmentTable bow = table_of({{0, 0, 2, 2}, {2, 2, 2, 0}, {2, 0, 0, 2}, {0, 2, 0, 0}});
    EXPECT_TRUE(closed_groups_of_four(bow, 4));
    // Reversed segments do not join end to start.
    const SegmentTable reversed = table_of({{2, 0, 0, 0}, {2, 2, 2, 0}, {0, 2, 2, 2}, {0, 0, 0, 2}});
    EXPECT_FALSE(closed_groups_of_four(reversed, 4));
}

TEST(SegmentShapes, FifthValueIsNotACoordinate)
{
    const SegmentTable t = table_of({{0, 0, 1, 0, -5.5f}, {1, 0, 1, 1, 2}, {1, 1, 0, 1, 3}, {0, 1, 0, 0, 4}}, 5);
    EXPECT_EQ(shape_type_of_segments(t, 4), shape_type_polygon);
    EXPECT_EQ(segment_records(t, 4, shape_type_polygon).point,
              (std::vector<double>{0, 0, 1, 0, 1, 1, 0, 1, 0, 0}));
    EXPECT_EQ(segment_records(t, 4, shape_type_polyline).point,
              (std::vector<double>{0, 0, 1, 0, 1, 0, 1, 1, 1, 1, 0, 1, 0, 1, 0, 0}));
}

TEST(SegmentShapes, VerticesKeepTheFloatValues)
{
    const SegmentTable t = table_of({{0.1f, 2.7f, 3.3f, -4.9f}});
    const RecordArrays r = segment_records(t, 1, shape_type_polyline);
    EXPECT_EQ(r.part, (std::vector<std::int32_t>{1, 2, 0, -3000}));
    EXPECT_EQ(r.point, (std::vector<double>{0.1f, 2.7f, 3.3f, -4.9f}));
}
