// The clean-up's routines on small hand-made masks: the cases where the
// order of the passes and the codes of the cells decide the result.

#include "channel_pixels.h"
#include "closing.h"
#include "diagonal_bridges.h"
#include "mask_cleaning.h"
#include "mask_text.h"
#include "regions.h"

#include <gtest/gtest.h>

using Rows = std::vector<std::string>;

TEST(DiagonalBridges, TieRemovesTheRightHandPixel)
{
    auto falling = mask_from_rows({"....", ".#..", "..#.", "...."});
    EXPECT_EQ(procedura_diagonale(falling), 1);
    EXPECT_EQ(rows_of(falling), (Rows{"....", ".#..", "....", "...."}));

    auto rising = mask_from_rows({"....", "..#.", ".#..", "...."});
    EXPECT_EQ(procedura_diagonale(rising), 1);
    EXPECT_EQ(rows_of(rising), (Rows{"....", "....", ".#..", "...."}));
    EXPECT_EQ(procedura_diagonale(rising), 0);
}

TEST(DiagonalBridges, PixelWithFewerNeighboursGoes)
{
    // The lower pixel hangs on a bar; the upper one is alone.
    auto mask = mask_from_rows({"#....", ".#...", ".###."});
    EXPECT_EQ(verifica_maggioranza(mask, 1, 1), 1);
    EXPECT_EQ(verifica_maggioranza(mask, 2, 2), 3);
    EXPECT_EQ(procedura_diagonale(mask), 1);
    EXPECT_EQ(rows_of(mask), (Rows{".....", ".#...", ".###."}));
}

TEST(DiagonalBridges, ChangesAreSeenByTheFollowingWindows)
{
    // A staircase: each removal leaves the next step with one neighbour
    // less, so the pass eats its way down to the last pair, a tie.
    auto mask = mask_from_rows({"#....", ".#...", "..#..", "...#.", "....#"});
    EXPECT_EQ(procedura_diagonale(mask), 1);
    EXPECT_EQ(rows_of(mask), (Rows{".....", ".....", ".....", "...#.", "....."}));
    EXPECT_EQ(procedura_diagonale(mask), 0);
}

TEST(ChannelPixels, NeckBetweenTwoPartsIsCut)
{
    // The middle pixel has background straight above and below it.
    auto mask = mask_from_rows({"###.###", "#######", "###.###"});
    EXPECT_EQ(apertura_canale_tre(mask), 1);
    EXPECT_EQ(rows_of(mask), (Rows{"###.###", "###.###", "###.###"}));
    EXPECT_EQ(apertura_canale_tre(mask), 0);
}

TEST(ChannelPixels, CornerWithTwoAdjacentGapsStays)
{
    // Two background neighbours side by side are no channel.
    auto mask = mask_from_rows({"#####", "#####", "###..", "#####", "#####"});
    EXPECT_EQ(apertura_canale_tre(mask), 0);
}

TEST(Regions, FirstRegionInScanOrderIsMarked)
{
    auto mask = mask_from_rows({"..#", "#..", "#.#"});
    EXPECT_EQ(MOD_evidenziazione_blob(mask, 1, 4), 1);
    EXPECT_EQ(rows_of(mask), (Rows{"..4", "#..", "#.#"}));
    EXPECT_EQ(MOD_evidenziazione_blob(mask, 1, 4), 1);
    EXPECT_EQ(rows_of(mask), (Rows{"..4", "4..", "4.#"}));
    EXPECT_EQ(MOD_evidenziazione_blob(mask, 1, 4), 1);
    EXPECT_EQ(MOD_evidenziazione_blob(mask, 1, 4), 0);
}

TEST(Regions, BorderCellsKeepTheFrontAndJoinNothing)
{
    // A wall from top to bottom splits the background; the border ring
    // around the image does not join the two sides.
    auto mask = mask_from_rows({"..#..", "..#..", "..#.."});
    EXPECT_EQ(MOD_evidenziazione_blob(mask, 0, 5), 1);
    EXPECT_EQ(rows_of(mask), (Rows{"55#..", "55#..", "55#.."}));
    // Border cells touching the left region hold the front code, columns 0
    // to 3 of rows 0 and 4, and rows 0 to 4 of column 0.
    for (int x = 0; x <= 3; ++x) {
        EXPECT_EQ(mask(x, 0), 3) << x;
        EXPECT_EQ(mask(x, 4), 3) << x;
    }
    EXPECT_EQ(mask(4, 0), 0);
    for (int y = 0; y <= 4; ++y) EXPECT_EQ(mask(0, y), 3) << y;
    EXPECT_EQ(mask(6, 2), 0);
}

TEST(Regions, BlobOfExactlyTheThresholdIsKept)
{
    auto mask = mask_from_rows({"###....", ".......", "....##."});
    eliminazione_blob(mask, 3, 1, 4);
    EXPECT_EQ(rows_of(mask), (Rows{"666....", ".......", "......."}));
}

TEST(Regions, SmallBackgroundRegionsAreFilled)
{
    auto mask = mask_from_rows({"#####", "#.#.#", "#####", "#..##", "#####"});
    eliminazione_blob(mask, 2, 0, 5);
    EXPECT_EQ(rows_of(mask), (Rows{"#####", "#####", "#####", "#77##", "#####"}));
}

TEST(Closing, NotchInAStraightEdgeIsFilledFromThresholdTwo)
{
    const Rows notched{".......", ".##.##.", ".#####.", ".#####.", "......."};
    const Rows filled{".......", ".#####.", ".#####.", ".#####.", "......."};
    for (int soglia_blob : {2, 3, 10}) {
        auto mask = mask_from_rows(notched);
        clean_mask(mask, soglia_blob);
        EXPECT_EQ(rows_of(mask), filled) << soglia_blob;
    }
    for (int soglia_blob : {1, 0, -4}) {
        auto mask = mask_from_rows(notched);
        clean_mask(mask, soglia_blob);
        EXPECT_EQ(rows_of(mask), notched) << soglia_blob;
    }
}

TEST(Closing, WideInletIsNotTaken)
{
    // The two cells of the inlet form one gap of 2: accepted from 3 on.
    const Rows inlet{"........", ".##..##.", ".######.", ".######.", "........"};
    auto at_two = mask_from_rows(inlet);
    dilate_erode(at_two, 2);
    EXPECT_EQ(rows_of(at_two), (Rows{"........", ".66..66.", ".666666.", ".666666.", "........"}));
    auto at_three = mask_from_rows(inlet);
    dilate_erode(at_three, 3);
    EXPECT_EQ(rows_of(at_three), (Rows{"........", ".666666.", ".666666.", ".666666.", "........"}));
}

TEST(Closing, GapsOnTheBorderRingCountAndMayBeGained)
{
    // A building on the image's left edge with a notch on its right side.
    // Cells beyond the mask never erode, so the ring cells on the mask's
    // border next to the building stay and form one gap of 12 cells; the
    // notch is a gap of its own.
    const Rows input{"###.", "##..", "###.", "###."};
    auto at_ten = mask_from_rows(input);
    dilate_erode(at_ten, 10);
    EXPECT_EQ(rows_of(at_ten), (Rows{"666.", "666.", "666.", "666."}));
    EXPECT_EQ(at_ten(0, 2), 0);

    auto at_thirteen = mask_from_rows(input);
    dilate_erode(at_thirteen, 13);
    EXPECT_EQ(rows_of(at_thirteen), (Rows{"666.", "666.", "666.", "666."}));
    for (int y = 0; y <= 5; ++y) EXPECT_EQ(at_thirteen(0, y), 6) << y;
    for (int x = 0; x <= 3; ++x) {
        EXPECT_EQ(at_thirteen(x, 0), 6) << x;
        EXPECT_EQ(at_thirteen(x, 5), 6) << x;
    }
    EXPECT_EQ(at_thirteen(4, 0), 0);
}

TEST(CleanMask, HoleOfOnePixelIsFilledFromThresholdTwo)
{
    const Rows holed{".......", ".#####.", ".##.##.", ".#####.", "......."};
    auto at_two = mask_from_rows(holed);
    clean_mask(at_two, 2);
    EXPECT_EQ(rows_of(at_two), (Rows{".......", ".#####.", ".#####.", ".#####.", "......."}));
    auto at_one = mask_from_rows(holed);
    clean_mask(at_one, 1);
    EXPECT_EQ(rows_of(at_one), holed);
}

TEST(CleanMask, ThresholdZeroOrLessOnlyBreaksBridgesAndChannels)
{
    const Rows input{"#.........", "..####....", "..#..#.#..", "..####..#.", "#........."};
    const Rows expected{"#.........", "..####....", "..#..#.#..", "..####....", "#........."};
    for (int soglia_blob : {0, -1, -1000}) {
        auto mask = mask_from_rows(input);
        clean_mask(mask, soglia_blob);
        EXPECT_EQ(rows_of(mask), expected) << soglia_blob;
    }
}
