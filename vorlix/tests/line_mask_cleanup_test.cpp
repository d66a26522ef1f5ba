#include "line_mask_cleanup.h"
#include "random_images.h"
#include "reference_filter.h"

#include <gtest/gtest.h>

namespace {

// A mask drawn as text: '#' line pixel (0), '.' background (255).
Grid<std::uint8_t> mask_of(std::initializer_list<const char*> rows)
{
    const int h = static_cast<int>(rows.size());
    const int w = static_cast<int>(std::string(*rows.begin()).size());
    Grid<std::uint8_t> g(w, h, 255);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < w; ++x) g(x, y) = row[x] == '#' ? 0 : 255;
        ++y;
    }
    return g;
}

}  // namespace

TEST(LineMaskCleanup, NarrowNotchesFillOnePixelPerPassFromTheInside)
{
    // A notch one pixel wide and four deep in the lower edge of a band.
    Grid<std::uint8_t> one_wide = mask_of({"...........",
                                           ".#########.",
                                           ".#########.",
                                           ".####.####.",
                                           ".####.####.",
                                           ".####.####.",
                                           ".####.####.",
                                           "..........."});
    Grid<std::uint8_t> filled = one_wide;
    fill_narrow_notches(filled);
    for (int y = 3; y <= 6; ++y) EXPECT_EQ(filled(5, y), 0) << y;

    // Five deep: four passes reach only the four innermost pixels.
    Grid<std::uint8_t> deep = mask_of({"...........",
                                       ".#########.",
                                       ".####.####.",
                                       ".####.####.",
                                       ".####.####.",
                                       ".####.####.",
                                       ".####.####.",
                                       "..........."});
    fill_narrow_notches(deep);
    for (int y = 2; y <= 5; ++y) EXPECT_EQ(deep(5, y), 0) << y;
    EXPECT_EQ(deep(5, 6), 255);

    Grid<std::uint8_t> two_wide = mask_of({"............",
                                           ".##########.",
                                           ".####..####.",
                                           ".####..####.",
                                           "............"});
    fill_narrow_notches(two_wide);
    EXPECT_EQ(two_wide(5, 2), 0);
    EXPECT_EQ(two_wide(6, 3), 0);

    Grid<std::uint8_t> three_wide = mask_of({".............",
                                             ".###########.",
                                             ".###########.",
                                             ".####...####.",
                                             ".####...####.",
                                             ".####...####.",
                                             ".####...####.",
                                             "............."});
    const Grid<std::uint8_t> before = three_wide;
    fill_narrow_notches(three_wide);
    EXPECT_TRUE(three_wide == before);
}

TEST(LineMaskCleanup, GapInAThinLineStays)
{
    Grid<std::uint8_t> gap = mask_of({"..........",
                                      ".####.###.",
                                      ".........."});
    const Grid<std::uint8_t> before = gap;
    VisitMarks marks(10, 3);
    fill_narrow_notches(gap);
    fill_half_ring_notches(gap, marks);
    EXPECT_TRUE(gap == before);
}

// A notch pixel in column 1 measures its left run against the image edge,
// whatever column 0 holds.
TEST(LineMaskCleanup, NotchNextToTheEdge)
{
    Grid<std::uint8_t> edge = mask_of({"#####",
                                       "#####",
                                       "..###",
                                       "....."});
    fill_narrow_notches(edge);
    EXPECT_EQ(edge(1, 2), 0);
    EXPECT_EQ(edge(0, 2), 255);  // the outermost column never changes
}

TEST(LineMaskCleanup, HolesUpToTwentyPixelsAreFilled)
{
    auto ring_with_hole = [](int hole_w, int hole_h, int extra) {
        Grid<std::uint8_t> g(12, 12, 255);
        for (int y = 1; y <= hole_h + 2; ++y)
            for (int x = 1; x <= hole_w + 2; ++x) g(x, y) = 0;
        for (int y = 2; y <= hole_h + 1; ++y)
            for (int x = 2; x <= hole_w + 1; ++x) g(x, y) = 255;
        if (extra) g(hole_w + 1, hole_h + 2) = 255;  // one more hole pixel, below the corner
        if (extra) g(hole_w + 1, hole_h + 3) = 0;
        if (extra) g(hole_w, hole_h + 3) = 0, g(hole_w + 2, hole_h + 3) = 0;
        return g;
    };
    VisitMarks marks(12, 12);
    Grid<std::uint8_t> twenty = ring_with_hole(5, 4, 0);
    fill_small_holes(twenty, marks);
    EXPECT_EQ(twenty(4, 4), 0);
    Grid<std::uint8_t> twenty_one = ring_with_hole(5, 4, 1);
    fill_small_holes(twenty_one, marks);
    EXPECT_EQ(twenty_one(4, 4), 255);

    // A background region touching row 0 is never filled.
    Grid<std::uint8_t> open = mask_of({"#.#", "#.#", "###", "..."});
    const Grid<std::uint8_t> before = open;
    fill_small_holes(open, marks);
    EXPECT_TRUE(open == before);
}

TEST(LineMaskCleanup, MatchesThePassesOverTheWholeMask)
{
    std::uint32_t seed = 3000;
    for (auto [w, h] : {std::pair{40, 30}, {64, 48}, {3, 3}, {17, 5}, {25, 60}}) {
        for (int i = 0; i < 6; ++i) {
            const Grid<std::uint8_t> mask = i % 2 ? testimages::line_mask(w, h, seed++)
                                                  : testimages::speckle_mask(w, h, 0.3 + 0.1 * i, seed++);
            Grid<std::uint8_t> fast = mask, ref = mask;
            VisitMarks marks(w, h);
            clean_line_mask(fast, marks);
            reference::clean_line_mask(ref);
            ASSERT_TRUE(fast == ref) << w << "x" << h << " case " << i;
        }
    }
}
