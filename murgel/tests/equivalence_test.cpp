// The fast clean-up against the plain one (reference_cleaning.cpp) on a few
// hundred random small masks: every step must leave every cell of the mask,
// border ring included, exactly as the plain passes do.

#include "channel_pixels.h"
#include "closing.h"
#include "diagonal_bridges.h"
#include "mask_cleaning.h"
#include "mask_text.h"
#include "reference_cleaning.h"
#include "regions.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Mask = Grid<std::uint8_t>;

// Noise of a given density, or buildings (rectangles with holes) among
// specks, which bring notches, channels and diagonal bridges with them.
Mask random_mask(std::mt19937& rng, int max_side = 24, int max_buildings = 6)
{
    std::uniform_int_distribution<int> side(max_side > 24 ? max_side / 2 : 1, max_side);
    const int w = side(rng);
    const int h = side(rng);
    Mask mask(w + 2, h + 2, 0);
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };

    if (max_side <= 24 && chance(0.4)) {
        const double density = std::uniform_real_distribution<double>(0.15, 0.85)(rng);
        for (int y = 1; y <= h; ++y)
            for (int x = 1; x <= w; ++x) mask(x, y) = chance(density) ? 1 : 0;
        return mask;
    }
    const int buildings = pick(1, max_buildings);
    for (int b = 0; b < buildings; ++b) {
        const int x0 = pick(1, w), y0 = pick(1, h);
        const int x1 = std::min(w, x0 + pick(0, 9)), y1 = std::min(h, y0 + pick(0, 9));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) mask(x, y) = 1;
        const int holes = pick(0, 4);
        for (int i = 0; i < holes; ++i) mask(pick(x0, x1), pick(y0, y1)) = 0;
    }
    const int specks = pick(0, w * h / 8 + 1);
    for (int i = 0; i < specks; ++i) mask(pick(1, w), pick(1, h)) = chance(0.7) ? 1 : 0;
    return mask;
}

int random_threshold(std::mt19937& rng)
{
    static const int thresholds[] = {-3, 0, 1, 2, 3, 4, 5, 6, 8, 10, 15, 30, 100};
    return thresholds[std::uniform_int_distribution<int>(0, 12)(rng)];
}

constexpr int masks_per_test = 400;

}  // namespace

TEST(Equivalence, SinglePassesMatchThePlainPasses)
{
    std::mt19937 rng(1);
    for (int i = 0; i < masks_per_test; ++i) {
        const Mask input = random_mask(rng);
        Mask fast = input, plain = input;
        EXPECT_EQ(procedura_diagonale(fast), reference::procedura_diagonale(plain));
        ASSERT_EQ(fast, plain) << "mask " << i;
        EXPECT_EQ(apertura_canale_tre(fast), reference::apertura_canale_tre(plain));
        ASSERT_EQ(fast, plain) << "mask " << i;
    }
}

TEST(Equivalence, RepeatedPassesMatchFullRescans)
{
    std::mt19937 rng(2);
    for (int i = 0; i < masks_per_test; ++i) {
        const Mask input = random_mask(rng);
        Mask fast = input, plain = input;
        remove_diagonal_bridges(fast);
        remove_channel_pixels(fast);
        remove_diagonal_bridges(fast);
        reference::bridges_and_channels(plain);
        ASSERT_EQ(fast, plain) << "mask " << i;
    }
}

TEST(Equivalence, RegionFillMatchesRepeatedFullPasses)
{
    std::mt19937 rng(3);
    for (int i = 0; i < masks_per_test; ++i) {
        Mask fast = random_mask(rng);
        Mask plain = fast;
        // Every region of both values in turn, border fronts included.
        for (int valore : {1, 0}) {
            const int mark = valore == 1 ? 4 : 5;
            int found_fast = 1, found_plain = 1;
            while (found_fast && found_plain) {
                found_fast = MOD_evidenziazione_blob(fast, valore, mark);
                found_plain = reference::MOD_evidenziazione_blob(plain, valore, mark);
                ASSERT_EQ(found_fast, found_plain);
                ASSERT_EQ(fast, plain) << "mask " << i;
                recode_image_cells(fast, static_cast<std::uint8_t>(mark), 6);
                recode_image_cells(plain, static_cast<std::uint8_t>(mark), 6);
            }
        }
    }
}

TEST(Equivalence, RegionSortingMatches)
{
    std::mt19937 rng(4);
    for (int i = 0; i < masks_per_test; ++i) {
        const Mask input = random_mask(rng);
        const int soglia_blob = random_threshold(rng);
        Mask fast = input, plain = input;
        eliminazione_blob(fast, soglia_blob, 1, 4);
        eliminazione_blob(fast, soglia_blob, 0, 5);
        reference::eliminazione_blob(plain, soglia_blob, 1, 4);
        reference::eliminazione_blob(plain, soglia_blob, 0, 5);
        ASSERT_EQ(fast, plain) << "mask " << i << " threshold " << soglia_blob;
    }
}

TEST(Equivalence, ClosingMatchesTheWholeBufferClosing)
{
    std::mt19937 rng(5);
    for (int i = 0; i < masks_per_test; ++i) {
        Mask input = random_mask(rng);
        const int soglia_blob = random_threshold(rng);
        // As the closing finds it: bridges gone, small regions sorted out,
        // fronts left on the border ring.
        reference::bridges_and_channels(input);
        reference::remove_small_regions(input, soglia_blob);
        Mask fast = input, plain = input;
        dilate_erode(fast, soglia_blob);
        reference::dilate_erode(plain, soglia_blob);
        ASSERT_EQ(fast, plain) << "mask " << i << " threshold " << soglia_blob;
    }
}

TEST(Equivalence, WholeCleanUpMatches)
{
    std::mt19937 rng(6);
    int changed_by_closing = 0;
    for (int i = 0; i < masks_per_test; ++i) {
        const Mask input = random_mask(rng);
        const int soglia_blob = random_threshold(rng);
        Mask fast = input, plain = input;
        clean_mask(fast, soglia_blob);
        reference::clean_mask(plain, soglia_blob);
        ASSERT_EQ(fast, plain) << "mask " << i << " threshold " << soglia_blob;

        Mask without_closing = input;
        reference::bridges_and_channels(without_closing);
        reference::remove_small_regions(without_closing, soglia_blob);
        if (rows_of(without_closing) != rows_of(plain)) ++changed_by_closing;
    }
    // The random masks do exercise the closing.
    EXPECT_GT(changed_by_closing, masks_per_test / 10);
}

TEST(Equivalence, LargerBuildingMasksMatch)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 30; ++i) {
        const Mask input = random_mask(rng, 64, 30);
        const int soglia_blob = random_threshold(rng);
        Mask fast = input, plain = input;
        clean_mask(fast, soglia_blob);
        reference::clean_mask(plain, soglia_blob);
        ASSERT_EQ(fast, plain) << "mask " << i << " threshold " << soglia_blob;
    }
}
