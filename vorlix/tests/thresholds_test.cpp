#include "random_images.h"
#include "thresholds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The window tests written out pixel by pixel.
bool plain_angular_passes(const Grid<std::uint8_t>& dir, int x, int y, int Q, double soglia, double tol)
{
    int agree = 0, disagree = 0;
    for (int yy = std::max(y - Q, 0); yy <= std::min(y + Q, dir.height() - 1); ++yy)
        for (int xx = std::max(x - Q, 0); xx <= std::min(x + Q, dir.width() - 1); ++xx) {
            int d = std::abs(dir(xx, yy) - dir(x, y)) % 90;
            if (d > 45) d = 90 - d;
            (tol >= d ? agree : disagree)++;
        }
    return soglia > 255 - 255.0 * agree / (agree + disagree);
}

Grid<std::uint8_t> plain_angular(const Grid<std::uint8_t>& dir, int Q, double soglia, double tol)
{
    Grid<std::uint8_t> mask(dir.width(), dir.height(), 255);
    for (int y = 0; y < dir.height(); ++y)
        for (int x = 0; x < dir.width(); ++x)
            if (plain_angular_passes(dir, x, y, Q, soglia, tol)) mask(x, y) = 0;
    return mask;
}

Grid<std::uint8_t> plain_local(const Grid<std::uint8_t>& plane, int h, double soglia, bool deviation)
{
    const int W = plane.width(), H = plane.height();
    Grid<std::uint8_t> mask(W, H, 255);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double sum = 0;
            int n = 0;
            for (int yy = y - h; yy <= y + h; ++yy)
                for (int xx = x - h; xx <= x + h; ++xx)
                    if (plane.contains(xx, yy)) {
                        sum += plane(xx, yy);
                        ++n;
                    }
            const int v = plane(x, y);
            if (sum / n * soglia > v && (!deviation || v <= 199)) mask(x, y) = 0;
        }
    return mask;
}

Grid<std::uint8_t> random_directions(int w, int h, std::uint32_t seed)
{
    Grid<std::uint8_t> g = testimages::noise(w, h, seed);
    // Clustered directions, so that windows agree in places.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) g(x, y) = static_cast<std::uint8_t>((g(x, y) % 7 + (x / 5) * 31 + (y / 4) * 17) % 180);
    return g;
}

}  // namespace

TEST(Thresholds, ValuesOfTheRadius)
{
    const VorlixParameters p = default_parameters();
    const RadiusThresholds r5 = thresholds_for_radius(5, p);
    EXPECT_DOUBLE_EQ(r5.soglia_min, 0.9);
    EXPECT_DOUBLE_EQ(r5.soglia_var, 0.92);
    EXPECT_DOUBLE_EQ(r5.soglia_ang, 209);
    EXPECT_DOUBLE_EQ(r5.tolleranza, 11);
    const RadiusThresholds r40 = thresholds_for_radius(40, p);
    EXPECT_DOUBLE_EQ(r40.soglia_min, 0.94);
    EXPECT_DOUBLE_EQ(r40.soglia_var, 0.94);
    EXPECT_DOUBLE_EQ(r40.soglia_ang, 202);
    EXPECT_DOUBLE_EQ(r40.tolleranza, 4);
}

TEST(Thresholds, ScalingWithAZeroMaximum)
{
    RadiusTransforms t;
    t.minima_radianza = Grid<std::uint8_t>(2, 1, 0);
    t.scarto_radianza = Grid<std::uint8_t>(2, 1, 0);
    t.minima_radianza(1, 0) = 40;
    t.max_min = 40;
    scale_transforms(t);
    EXPECT_EQ(t.minima_radianza(0, 0), 0);
    EXPECT_EQ(t.minima_radianza(1, 0), 255);
    EXPECT_EQ(t.scarto_radianza(0, 0), 255);  // no deviation anywhere: all 255
}

// Also in bands of rows on several threads: the same masks.
TEST(Thresholds, SlidingWindowsMatchTheWindowsPixelByPixel)
{
    std::uint32_t seed = 100;
    for (auto [w, h] : {std::pair{31, 23}, {5, 40}, {1, 1}, {12, 3}, {17, 75}}) {
        const Grid<std::uint8_t> dir = random_directions(w, h, seed++);
        for (int Q : {0, 1, 4, 8, 50}) {
            for (double tol : {11.0, 4.0, -2.0, 50.0}) {
                const Grid<std::uint8_t> want = plain_angular(dir, Q, 209, tol);
                for (InstructionSet set : usable_instruction_sets())
                    for (int threads : {1, 2, 3}) {
                        Grid<std::uint8_t> mask(w, h, 255);
                        angular_threshold(dir, Q, 209, tol, mask, FilterWork{threads, set});
                        EXPECT_TRUE(mask == want) << w << "x" << h << " Q " << Q << " tol " << tol << " threads "
                                                  << threads << " " << instruction_set_name(set);
                    }
            }
        }
        const Grid<std::uint8_t> plane = testimages::grey_with_lines(w, h, seed++);
        for (int half : {0, 1, 4, 30}) {
            for (int threads : {1, 3}) {
                Grid<std::uint8_t> a(w, h, 255), b(w, h, 255);
                minimum_radiance_threshold(plane, half, 0.94, a, threads);
                EXPECT_TRUE(a == plain_local(plane, half, 0.94, false)) << "h " << half << " threads " << threads;
                radiance_deviation_threshold(plane, half, 1.1, b, threads);
                EXPECT_TRUE(b == plain_local(plane, half, 1.1, true)) << "h " << half << " threads " << threads;
            }
        }
    }
}

// A window too large for a table of its counts is worked out pixel by pixel,
// and windows of more than 65535 pixels count in 32 bits (checked on a
// diagonal of pixels: the plain version is slow there).
TEST(Thresholds, HugeAngularWindow)
{
    const Grid<std::uint8_t> dir = random_directions(1100, 6, 130);
    for (double tol : {11.0, 45.0}) {
        Grid<std::uint8_t> mask(1100, 6, 255);
        angular_threshold(dir, 520, 250, tol, mask, FilterWork{2});
        EXPECT_TRUE(mask == plain_angular(dir, 520, 250, tol)) << tol;
    }
    Grid<std::uint8_t> wide = random_directions(400, 240, 131);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 200; ++x) wide(x, y) = 0;  // one direction on the left, any on the right
    Grid<std::uint8_t> mask(400, 240, 255);
    angular_threshold(wide, 150, 170, 11.0, mask, FilterWork{2});
    int passing = 0;
    for (int i = 0; i < 200; ++i) {
        const int x = i * 2, y = i;
        EXPECT_EQ(mask(x, y) == 0, plain_angular_passes(wide, x, y, 150, 170, 11.0)) << x << "," << y;
        passing += mask(x, y) == 0;
    }
    EXPECT_GT(passing, 0);
    EXPECT_LT(passing, 200);
}

