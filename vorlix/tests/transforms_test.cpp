#include "direction_table.h"
#include "random_images.h"
#include "reference_filter.h"
#include "transforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

void expect_same_transforms(const Grid<std::uint8_t>& image, const std::vector<int>& raggi,
                            const FilterWork& work = {})
{
    const int max_r = *std::max_element(raggi.begin(), raggi.end());
    const DirectionTable table(max_r);
    const std::vector<RadiusTransforms> fast = compute_transforms(image, raggi, table, {}, work);
    ASSERT_EQ(fast.size(), raggi.size());
    for (std::size_t i = 0; i < raggi.size(); ++i) {
        const reference::Transforms ref = reference::transforms(image, raggi[i]);
        SCOPED_TRACE(testing::Message() << image.width() << "x" << image.height() << " radius " << raggi[i] << " "
                                        << instruction_set_name(work.instruction_set) << " threads "
                                        << work.threads << (work.recheck_every_deviation ? " rechecked" : ""));
        EXPECT_EQ(fast[i].raggio, raggi[i]);
        EXPECT_TRUE(fast[i].direzione == ref.direzione);
        EXPECT_TRUE(fast[i].minima_radianza == ref.minima_radianza);
        EXPECT_TRUE(fast[i].scarto_radianza == ref.scarto_radianza);
        EXPECT_EQ(fast[i].max_min, ref.max_min);
        EXPECT_EQ(fast[i].max_scarto, ref.max_scarto);
    }
}

}  // namespace

// Identical planes, borders and corners included, on images smaller and
// larger than the radii.
TEST(Transforms, MatchThePerPixelProcedureOnRandomImages)
{
    std::uint32_t seed = 1;
    for (auto [w, h] : {std::pair{23, 17}, {40, 31}, {9, 44}, {3, 2}, {1, 1}, {1, 12}}) {
        expect_same_transforms(testimages::grey_with_lines(w, h, seed++), {1, 3, 5});
        expect_same_transforms(testimages::noise(w, h, seed++), {2, 7, 12});
    }
}

// Images larger than twice the reach of the radii, so that most pixels are
// worked by the grouped fractions: along the rows in the middle columns
// (more than one run of lanes on the widest), down the columns near the left
// and right edges, the corners by the procedure itself. Every instruction
// set this processor runs, several thread counts, and every deviation also
// worked again in the procedure's order.
TEST(Transforms, GroupedFractionsMatchOnEveryPath)
{
    const std::vector<std::pair<int, int>> sizes = {{61, 47}, {1100, 13}, {15, 90}};
    std::uint32_t seed = 300;
    for (auto [w, h] : sizes) {
        const Grid<std::uint8_t> lines = testimages::grey_with_lines(w, h, seed++);
        const Grid<std::uint8_t> noise = testimages::noise(w, h, seed++);
        for (InstructionSet set : usable_instruction_sets()) {
            for (int threads : {1, 2, 3}) {
                expect_same_transforms(lines, {1, 3, 5}, FilterWork{threads, set});
                expect_same_transforms(noise, {2, 4}, FilterWork{threads, set});
            }
            expect_same_transforms(lines, {1, 3, 5}, FilterWork{2, set, true});
        }
    }
}

// Flat and two-valued images make many equal fractions of different counts
// and whole deviations, where the order of ties and the truncation matter.
TEST(Transforms, TiesAndWholeDeviations)
{
    Grid<std::uint8_t> steps(50, 40, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) steps(x, y) = static_cast<std::uint8_t>(((x / 7 + y / 5) % 2) * 90 + 60);
    Grid<std::uint8_t> checker(45, 45, 0);
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 45; ++x) checker(x, y) = static_cast<std::uint8_t>((x + y) % 2 == 0 ? 200 : 20);
    for (const Grid<std::uint8_t>* image : {&steps, &checker}) {
        for (InstructionSet set : usable_instruction_sets()) {
            expect_same_transforms(*image, {1, 2, 4, 6}, FilterWork{1, set});
            expect_same_transforms(*image, {1, 2, 4, 6}, FilterWork{3, set, true});
        }
    }
    expect_same_transforms(Grid<std::uint8_t>(40, 30, 255), {3, 5});
}

TEST(Transforms, SingleAndDegenerateRadii)
{
    expect_same_transforms(testimages::noise(19, 14, 7), {0});
    expect_same_transforms(testimages::noise(19, 14, 8), {-4, -1});
    expect_same_transforms(testimages::grey_with_lines(30, 22, 9), {10});
}

// Radii above 63 and sums that outgrow 16 bits (more than 128 offsets on a
// direction inside the image).
TEST(Transforms, LargeRadii)
{
    expect_same_transforms(testimages::noise(21, 16, 11), {40, 63, 64, 90});
    expect_same_transforms(testimages::noise(140, 3, 12), {135});
}

TEST(Transforms, ManyRadiiInOnePass)
{
    expect_same_transforms(testimages::grey_with_lines(26, 20, 13), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
}

// A uniform image has the same mean in every direction (direction 0, no
// deviation), except in the corners, where a direction with no sample
// inside has mean 0 and is the darkest.
TEST(Transforms, UniformImage)
{
    const Grid<std::uint8_t> image(12, 9, 77);
    const DirectionTable table(5);
    const RadiusTransforms t = compute_transforms(image, {5}, table)[0];
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool corner = (x == 0 || x == 11) && (y == 0 || y == 8);
            EXPECT_EQ(t.minima_radianza(x, y), corner ? 0 : 77) << x << "," << y;
            if (!corner) {
                EXPECT_EQ(t.direzione(x, y), 0) << x << "," << y;
            }
        }
    EXPECT_EQ(t.scarto_radianza(5, 4), 0);
}

// Radii beyond the image's reach (width + height) sample the points of the
// reach: the table of direction_table_radius serves them all, however large
// the radius asked for.
TEST(Transforms, RadiiBeyondTheImageUseTheTableOfItsReach)
{
    const Grid<std::uint8_t> image = testimages::noise(12, 9, 21);
    const DirectionTable table(direction_table_radius(2000000000, 12, 9));
    EXPECT_EQ(table.max_raggio(), 21);
    EXPECT_EQ(direction_table_radius(15, 12, 9), 15);
    EXPECT_EQ(direction_table_radius(-3, 12, 9), -3);

    const std::vector<int> raggi = {5, 40, 2000000000};
    const std::vector<RadiusTransforms> fast = compute_transforms(image, raggi, table);
    for (std::size_t i = 0; i < raggi.size(); ++i) {
        const reference::Transforms ref = reference::transforms(image, std::min(raggi[i], 40));
        SCOPED_TRACE(testing::Message() << "radius " << raggi[i]);
        EXPECT_TRUE(fast[i].direzione == ref.direzione);
        EXPECT_TRUE(fast[i].minima_radianza == ref.minima_radianza);
        EXPECT_TRUE(fast[i].scarto_radianza == ref.scarto_radianza);
    }
}
