#include "direction_table.h"
#include "reference_filter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, int>> offsets_for(const DirectionTable& table, int a, int raggio)
{
    std::vector<std::pair<int, int>> list;
    for (int k = 0; k < table.num_offset(a, raggio); ++k) list.push_back({table.offsets(a)[k].dx, table.offsets(a)[k].dy});
    return list;
}

using Pairs = std::vector<std::pair<int, int>>;

}  // namespace

TEST(DirectionTable, ReferenceValuesForRadiusFive)
{
    const DirectionTable table(5);
    EXPECT_EQ(offsets_for(table, 0, 5), (Pairs{{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}}));
    EXPECT_EQ(offsets_for(table, 45, 5), (Pairs{{1, -1}, {2, -2}, {3, -3}, {4, -4}}));
    EXPECT_EQ(offsets_for(table, 60, 5), (Pairs{{1, -1}, {1, -2}, {2, -3}, {2, -4}, {3, -5}}));
    EXPECT_EQ(offsets_for(table, 90, 5), (Pairs{{0, -1}, {0, -2}, {0, -3}, {0, -4}, {0, -5}, {0, -6}}));
    EXPECT_EQ(offsets_for(table, 135, 5), (Pairs{{-1, -1}, {-2, -2}, {-3, -3}, {-4, -4}}));
    EXPECT_EQ(offsets_for(table, 179, 5), (Pairs{{-1, 0}, {-2, 0}, {-3, 0}, {-4, 0}, {-5, 0}, {-6, 0}}));
}

TEST(DirectionTable, CountsForRadiusForty)
{
    const DirectionTable table(40);
    EXPECT_EQ(table.num_offset(0, 40), 41);
    EXPECT_EQ(table.num_offset(90, 40), 41);
    EXPECT_EQ(table.num_offset(45, 40), 29);
    EXPECT_EQ(table.num_offset(135, 40), 29);
    for (int a : {30, 60, 120, 150}) EXPECT_EQ(table.num_offset(a, 40), 35) << a;
    EXPECT_EQ(table.num_offset(179, 40), 40);
}

// One table generated for a large radius serves every smaller radius: its
// prefixes are the tables a generation for that radius alone gives. Radii
// beyond 63 need more than 64 entries and get them.
TEST(DirectionTable, PrefixesMatchTheTableOfEachRadius)
{
    const DirectionTable table(130);
    for (int r : {-3, 0, 1, 5, 40, 63, 64, 100, 130}) {
        const reference::Offsets ref = reference::direction_table(r);
        for (int a = 0; a < 180; ++a) {
            ASSERT_EQ(table.num_offset(a, r), ref.num_offset[a]) << "r " << r << " a " << a;
            for (int k = 0; k < ref.num_offset[a]; ++k) {
                ASSERT_EQ(table.offsets(a)[k].dx, ref.offset_dx[a][k]);
                ASSERT_EQ(table.offsets(a)[k].dy, ref.offset_dy[a][k]);
            }
        }
    }
    EXPECT_EQ(table.num_offset(0, 63), 64);
    EXPECT_EQ(table.num_offset(90, 63), 64);
    EXPECT_EQ(table.num_offset(0, 64), 65);
    EXPECT_EQ(table.num_offset(0, -3), 1);
}
