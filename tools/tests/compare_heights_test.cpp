// The demo's height comparison on a small raster and truth file.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace testsupport;

TEST(CompareHeights, ReadsEachBuildingAtItsSeedPixelCountedFromTheTop)
{
    TempDir dir;
    // 3 x 2 floats, top row first: building 1 at (2, 0) measured 10.5 for a
    // true 10; building 2 at (0, 1) measured 3 for a true 4; building 3 at
    // (1, 1) without a height.
    const float values[6] = {0, 0, 10.5f, 3, 0, 0};
    Bytes raw(sizeof values);
    std::memcpy(raw.data(), values, sizeof values);
    write_bytes(dir.file("h.raw"), raw);
    write_text(dir.file("truth.txt"),
               "# id shape x_min y_min x_max y_max height_m shadow_px seed_x seed_y\n"
               "1 rectangle 2 0 2 0 10.00 5.0 2 0\n"
               "2 L 0 1 0 1 4.00 2.0 0 1\n"
               "3 T 1 1 1 1 6.00 3.0 1 1\n");
    const RunResult r = run_program("../tools-bin/compare_heights", {"h.raw", "3", "2", "truth.txt"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "3 buildings, 2 with a height: mean error -0.25 m, mean absolute error 0.75 m, largest 1.00 m\n");
}
