#include "grid.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

TEST(Grid, AddressesColumnsAndRows)
{
    Grid<int> grid(3, 2, 7);
    EXPECT_EQ(grid.width(), 3);
    EXPECT_EQ(grid.height(), 2);
    grid(2, 1) = 5;
    EXPECT_EQ(grid.row(1)[2], 5);
    EXPECT_EQ(grid(0, 0), 7);
    EXPECT_TRUE(grid.contains(2, 1));
    EXPECT_FALSE(grid.contains(3, 0));
    EXPECT_FALSE(grid.contains(0, -1));
}

TEST(Grid, RefusesExtentsBeyondMemory)
{
    EXPECT_THROW(Grid<std::uint64_t>(INT_MAX, INT_MAX), std::bad_alloc);
    Grid<char> empty(-3, 4);
    EXPECT_TRUE(empty.empty());
}
