// The colour census against the straightforward column-by-column search.
#include "polvane.h"
#include "reference_vectoriser.h"

#include <gtest/gtest.h>

#include <random>

TEST(ColourCensus, SameColoursInTheSameOrderAsTheColumnSearch)
{
    std::mt19937 rng(5);
    for (int trial = 0; trial < 300; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 30), height = 1 + static_cast<int>(rng() % 30);
        const int palette_size = 1 + static_cast<int>(rng() % 300);
        std::vector<std::int32_t> palette(static_cast<std::size_t>(palette_size));
        for (auto& p : palette) p = rng() % 4 == 0 ? static_cast<std::int32_t>(rng() % 256) * 65793
                                                   : static_cast<std::int32_t>(rng() % 0x1000000);
        Grid<std::int32_t> Matrice(width, height);
        for (auto& v : Matrice.cells()) v = palette[rng() % palette.size()];

        std::vector<std::int32_t> expected, fast;
        const bool expected_ok = census_by_columns(Matrice, expected, max_colori);
        ASSERT_EQ(colour_census(Matrice, fast, max_colori), expected_ok) << trial;
        if (expected_ok) {
            ASSERT_EQ(fast, expected) << trial;
        }
    }
}

TEST(ColourCensus, LimitIs253Colours)
{
    Grid<std::int32_t> Matrice(254, 1);
    for (int x = 0; x < 254; ++x) Matrice(x, 0) = 0x100 * (x + 1) + 1;
    std::vector<std::int32_t> colori;
    EXPECT_FALSE(colour_census(Matrice, colori, max_colori));
    Matrice(253, 0) = 0x808080;  // grey: not a class
    EXPECT_TRUE(colour_census(Matrice, colori, max_colori));
    EXPECT_EQ(colori.size(), 253u);
}

TEST(ColourCensus, ClassIndicesInMaskOrientation)
{
    Grid<std::int32_t> Matrice(2, 2, 0xFFFFFF);
    Matrice(1, 0) = 0x0000FF;  // top right
    Matrice(0, 1) = 0x00FF00;  // bottom left
    std::vector<std::int32_t> colori;
    ASSERT_TRUE(colour_census(Matrice, colori, max_colori));
    EXPECT_EQ(colori, (std::vector<std::int32_t>{0x00FF00, 0x0000FF}));
    const Grid<std::uint8_t> classi = class_indices(Matrice, colori);
    EXPECT_EQ(classi(0, 0), 0);
    EXPECT_EQ(classi(1, 1), 1);
    EXPECT_EQ(classi(0, 1), no_class);
    EXPECT_EQ(classi(1, 0), no_class);
}

TEST(ColourCensus, ImagesWithoutPixelsHaveNoColour)
{
    // One extent 0, the other the largest there is: nothing is walked.
    for (const auto& [width, height] : {std::pair{0, 2147483647}, std::pair{2147483647, 0}}) {
        const Grid<std::int32_t> Matrice(width, height);
        std::vector<std::int32_t> colori = {0x00FF00};
        EXPECT_TRUE(colour_census(Matrice, colori, max_colori));
        EXPECT_TRUE(colori.empty());
        const Grid<std::uint8_t> classi = class_indices(Matrice, colori);
        EXPECT_EQ(classi.width(), width);
        EXPECT_EQ(classi.height(), height);
        EXPECT_TRUE(classi.empty());
    }
}
