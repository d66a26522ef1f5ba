// The work image and the blob routines on the small cases whose cells can be
// checked one by one.
#include "blob_search.h"
#include "cell_codes.h"
#include "reference_vectoriser.h"
#include "work_image.h"
#include "work_window.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Work image of the class-0 pixels of a class map, ready for the search.
WorkWindow whole_window(const Grid<std::uint8_t>& classes)
{
    WorkWindow window;
    open_work_window(window, 1, 1, classes.width(), classes.height(), classes.width(), classes.height());
    for (int y = 0; y < classes.height(); ++y)
        for (int x = 0; x < classes.width(); ++x)
            if (classes(x, y) == 0) window.set_pixel(x + 1, y + 1);
    prepare_work_window(window);
    return window;
}

}  // namespace

TEST(WorkImage, CaricamentoFlipsRowsIntoTheBorderedMask)
{
    Grid<std::int32_t> Matrice(3, 2, 0);
    Matrice(0, 0) = 0xFF0000;  // top-left
    Matrice(2, 1) = 0xFF0000;  // bottom-right
    Matrice(1, 1) = 0x00FF00;
    Grid<std::uint8_t> Immagine;
    caricamento(Matrice, 0xFF0000, Immagine);
    ASSERT_EQ(Immagine.width(), 5);
    ASSERT_EQ(Immagine.height(), 4);
    EXPECT_EQ(Immagine(1, 2), 1);  // top row of the picture is mask row height
    EXPECT_EQ(Immagine(3, 1), 1);
    EXPECT_EQ(Immagine(2, 1), 0);
    int ones = 0;
    for (auto c : Immagine.cells()) ones += c;
    EXPECT_EQ(ones, 2);
}

TEST(WorkImage, PixelCoversThreeByThreeCellsAndSentinelsClose)
{
    WorkWindow window = whole_window(class_map({"...", ".#.", "..."}));
    const Grid<std::uint8_t>& img = window.Immagine4;
    ASSERT_EQ(img.width(), 10);
    ASSERT_EQ(img.height(), 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            std::uint8_t expected = (x >= 3 && x <= 5 && y >= 3 && y <= 5) ? 1 : 0;
            if (x == 9 && y >= 1 && y <= 8) expected = cell::row_end;
            if (x == 0 && y == 9) expected = cell::scan_end;
            EXPECT_EQ(img(x, y), expected) << x << ", " << y;
        }
}

TEST(WorkImage, OneSweepBuildEqualsDoublingGrowthAndSentinels)
{
    std::mt19937 rng(3);
    for (int trial = 0; trial < 200; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 17), height = 1 + static_cast<int>(rng() % 17);
        Grid<std::uint8_t> Immagine(width + 2, height + 2, 0);
        for (int Y = 1; Y <= height; ++Y)
            for (int X = 1; X <= width; ++X) Immagine(X, Y) = rng() % 3 == 0;
        Grid<std::uint8_t> stepwise, swept;
        MOD_raddoppiatore(Immagine, width, height, stepwise);
        MOD_completamento(stepwise, stepwise.width(), stepwise.height());
        place_sentinels(stepwise);
        build_work_image(Immagine, width, height, swept);
        ASSERT_EQ(swept, stepwise) << trial;
    }
}

TEST(WorkImage, GrowthDoesNotCascade)
{
    // A full 2 x 2 image: pixels 1..2 cover cells 1..5 in both directions,
    // cell 6 stays empty.
    WorkWindow window = whole_window(class_map({"##", "##"}));
    for (int c = 1; c <= 5; ++c) {
        EXPECT_EQ(window.Immagine4(c, 3), 1);
        EXPECT_EQ(window.Immagine4(3, c), 1);
    }
    EXPECT_EQ(window.Immagine4(6, 3), 0);
    EXPECT_EQ(window.Immagine4(3, 6), 0);
}

TEST(BlobSearch, CentrePixelWalkFillAndContour)
{
    WorkWindow window = whole_window(class_map({"...", ".#.", "..."}));
    Grid<std::uint8_t>& img = window.Immagine4;
    BlobBox& box = window.box_blob;
    ASSERT_EQ(evidenzia(box, img), 1);
    EXPECT_EQ(box.cursor_x, 2);
    EXPECT_EQ(box.cursor_y, 3);
    EXPECT_EQ(box.x_min, 2);
    EXPECT_EQ(box.x_max, 6);
    EXPECT_EQ(box.y_min, 3);
    EXPECT_EQ(box.y_max, 5);
    for (int y = 3; y <= 5; ++y) {
        EXPECT_EQ(img(2, y), cell::walk_mark) << y;
        EXPECT_EQ(img(6, y), cell::walk_mark) << y;
    }

    archivia(box, img);
    for (int y = 2; y <= 6; ++y)
        for (int x = 1; x <= 7; ++x) {
            const bool inside = x >= 3 && x <= 5 && y >= 3 && y <= 5;
            EXPECT_EQ(img(x, y), inside ? cell::taken : cell::background) << x << ", " << y;
        }

    EXPECT_EQ(MOD_evidenzia_contorno(box, img), 8);
    for (int y = 3; y <= 5; ++y)
        for (int x = 3; x <= 5; ++x)
            EXPECT_EQ(img(x, y), (x == 4 && y == 4) ? cell::taken : cell::contour) << x << ", " << y;
}

TEST(BlobSearch, DiagonalPairIsOneBlobWithASharedCorner)
{
    // Pixels (1, 2) and (2, 1) of the mask: they share corner cell (3, 3).
    WorkWindow window = whole_window(class_map({"....", ".#..", "..#.", "...."}));
    Grid<std::uint8_t>& img = window.Immagine4;
    BlobBox& box = window.box_blob;
    ASSERT_EQ(evidenzia(box, img), 1);
    archivia(box, img);
    MOD_evidenzia_contorno(box, img);
    filtraggio_condivisi(box, img);
    int shared = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img(x, y) == cell::shared_corner) {
                ++shared;
                EXPECT_EQ(x, 5);
                EXPECT_EQ(y, 5);
            }
    EXPECT_EQ(shared, 1);
}

TEST(BlobSearch, BlobsFoundByLowestRowThenLeftmost)
{
    // Rows from the top: the blob on the bottom row is met first although
    // the other one stands further left.
    WorkWindow window = whole_window(class_map({"#....", ".....", "...##"}));
    Grid<std::uint8_t>& img = window.Immagine4;
    BlobBox& box = window.box_blob;
    ASSERT_EQ(evidenzia(box, img), 1);
    EXPECT_EQ(box.cursor_y, 1);
    EXPECT_EQ(box.x_min, 6);
    archivia(box, img);
    cancellatore(box, img);
    seed_box_blob(box, 5, 3);
    ASSERT_EQ(evidenzia(box, img), 1);
    EXPECT_EQ(box.cursor_y, 5);
    EXPECT_EQ(box.cursor_x, 0);
    archivia(box, img);
    cancellatore(box, img);
    seed_box_blob(box, 5, 3);
    EXPECT_EQ(evidenzia(box, img), 0);
}

TEST(BlobSearch, FillTakesIslandsInsideHoles)
{
    WorkWindow window = whole_window(class_map({
        ".......",
        ".#####.",
        ".#...#.",
        ".#.#.#.",
        ".#...#.",
        ".#####.",
        ".......",
    }));
    Grid<std::uint8_t>& img = window.Immagine4;
    ASSERT_EQ(evidenzia(window.box_blob, img), 1);
    archivia(window.box_blob, img);
    EXPECT_EQ(img(8, 8), cell::taken);  // the island's centre cell
    EXPECT_EQ(img(6, 6), cell::background);  // the hole
    EXPECT_TRUE(pixel_taken(window, 4, 4));
}
