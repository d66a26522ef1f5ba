// Unit tests of the sample generator's geometry: shadow stamps and cast
// shadows against straightforward versions, the sun's fixed-point constants,
// bands, noise and the integer helpers.
#include "band.h"
#include "fixed_point.h"
#include "noise.h"
#include "shadow.h"
#include "sun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

using namespace samples;

namespace {

const double pi = 3.14159265358979323846;

using OffsetSet = std::set<std::pair<int, int>>;

OffsetSet as_set(const std::vector<Offset>& offsets)
{
    OffsetSet s;
    for (const Offset& o : offsets) s.insert({o.dx, o.dy});
    return s;
}

// Offsets whose pixel centre some point t * v (t from 0 to 1, in fine steps)
// falls within `half` of, on both axes.
OffsetSet sampled_stamp(double vx, double vy, double half)
{
    OffsetSet s;
    const int steps = 20000;
    for (int i = 0; i <= steps; ++i) {
        const double px = vx * i / steps, py = vy * i / steps;
        for (int uy = static_cast<int>(std::floor(py - half)); uy <= static_cast<int>(std::ceil(py + half)); ++uy)
            for (int ux = static_cast<int>(std::floor(px - half)); ux <= static_cast<int>(std::ceil(px + half)); ++ux)
                if (std::fabs(px - ux) <= half && std::fabs(py - uy) <= half) s.insert({ux, uy});
    }
    return s;
}

TEST(ShadowStamp, StraightVectorsGiveARowOfPixels)
{
    EXPECT_EQ(as_set(shadow_stamp({0, 0})), (OffsetSet{{0, 0}}));
    EXPECT_EQ(as_set(shadow_stamp({3 * fixed_one, 0})), (OffsetSet{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    EXPECT_EQ(as_set(shadow_stamp({0, -2 * fixed_one - fixed_one / 4})), (OffsetSet{{0, 0}, {0, -1}, {0, -2}}));
}

TEST(ShadowStamp, MatchesFineSamplingOnRandomVectors)
{
    Random rng(5);
    for (int n = 0; n < 200; ++n) {
        const ShadowVector v{rng.range(-20 * fixed_one, 20 * fixed_one), rng.range(-20 * fixed_one, 20 * fixed_one)};
        const double vx = static_cast<double>(v.dx) / fixed_one, vy = static_cast<double>(v.dy) / fixed_one;
        const OffsetSet exact = as_set(shadow_stamp(v));
        // Sampling can only miss what a hair's breadth decides.
        const OffsetSet inner = sampled_stamp(vx, vy, 0.5 - 1e-3), outer = sampled_stamp(vx, vy, 0.5 + 1e-3);
        EXPECT_TRUE(std::includes(exact.begin(), exact.end(), inner.begin(), inner.end())) << vx << " " << vy;
        EXPECT_TRUE(std::includes(outer.begin(), outer.end(), exact.begin(), exact.end())) << vx << " " << vy;
    }
}

// The shadow as the union of the stamps of every footprint pixel.
std::set<std::pair<int, int>> stamped_everywhere(const Footprint& f, ShadowVector v)
{
    std::set<std::pair<int, int>> out;
    const std::vector<Offset> stamp = shadow_stamp(v);
    for (const Pixel& p : f.pixels())
        for (const Offset& o : stamp)
            if (!f.contains(p.x + o.dx, p.y + o.dy)) out.insert({p.x + o.dx, p.y + o.dy});
    return out;
}

TEST(CastShadow, OutlineSweepEqualsTheSweepOfEveryPixel)
{
    Random rng(9);
    for (int n = 0; n < 100; ++n) {
        Footprint f;
        f.x0 = rng.range(-5, 5);
        f.y0 = rng.range(-5, 5);
        f.mask.resize(rng.range(1, 14), rng.range(1, 14), 0);
        for (std::uint8_t& c : f.mask.cells()) c = rng.chance(60);
        const ShadowVector v{rng.range(-12 * fixed_one, 12 * fixed_one), rng.range(-12 * fixed_one, 12 * fixed_one)};
        std::set<std::pair<int, int>> cast;
        for (const Pixel& p : cast_shadow(f, v)) cast.insert({p.x, p.y});
        EXPECT_EQ(cast, stamped_everywhere(f, v)) << n;
    }
}

TEST(CastShadow, ABlockCastsAParallelogramOfItsLength)
{
    // A 4 x 3 block shadowed 5 pixels to the right: the 5 columns beyond it.
    Footprint f;
    f.x0 = 10;
    f.y0 = 20;
    f.mask.resize(4, 3, 1);
    const std::vector<Pixel> shadow = cast_shadow(f, {5 * fixed_one, 0});
    ASSERT_EQ(shadow.size(), 15u);
    EXPECT_EQ(shadow.front(), (Pixel{14, 20}));
    EXPECT_EQ(shadow.back(), (Pixel{18, 22}));
}

TEST(Sun, FixedPointConstantsAndShadowLengths)
{
    EXPECT_NEAR(static_cast<double>(cos_azimuth) / fixed_one, std::cos(sun_azimuth_degrees * pi / 180), 1e-5);
    EXPECT_NEAR(static_cast<double>(sin_azimuth) / fixed_one, std::sin(sun_azimuth_degrees * pi / 180), 1e-5);
    EXPECT_NEAR(static_cast<double>(tan_elevation) / fixed_one, std::tan(sun_elevation_degrees * pi / 180), 1e-5);
    const double pixel_m = pixel_size_cm / 100.0;
    for (int cm = 100; cm <= 2000; cm += 10) {
        const double metres = cm / 100.0;
        const double length = metres / (std::tan(sun_elevation_degrees * pi / 180) * pixel_m);
        EXPECT_NEAR(static_cast<double>(shadow_length(cm)) / fixed_one, length, 1e-3) << cm;
        const ShadowVector v = shadow_vector(cm);
        // Up the picture is towards row 0.
        EXPECT_NEAR(static_cast<double>(v.dx) / fixed_one, length * std::cos(sun_azimuth_degrees * pi / 180), 1e-3);
        EXPECT_NEAR(static_cast<double>(v.dy) / fixed_one, -length * std::sin(sun_azimuth_degrees * pi / 180), 1e-3);
    }
    // 10 m under a sun 60 degrees high, 0.5 m pixels: 11.55 pixels.
    EXPECT_EQ(divide_rounded(shadow_length(1000) * 100, fixed_one), 1155);
}

TEST(Band, CoversPixelCentresWithinHalfItsWidthBetweenItsEnds)
{
    const Band street{2, 10, 8, 10, 20};  // along y = 10, 2 pixels wide
    for (int y = 5; y < 15; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(street.covers(x, y), (y == 9 || y == 10) && x >= 2 && x < 8) << x << " " << y;
    // A slanted band: the centre of (5, 5) lies on the line from (0, 0) to (11, 11).
    const Band slanted{0, 0, 11, 11, 10};
    EXPECT_TRUE(slanted.covers(5, 5));
    EXPECT_FALSE(slanted.covers(6, 5));
    EXPECT_TRUE(slanted.widened(20).covers(6, 5));  // 0.71 from the line, within 1.5
}

TEST(Noise, StaysWithinItsAmplitudeAndRangeWithinItsBounds)
{
    Random rng(1);
    int lo = 100, hi = -100;
    for (int n = 0; n < 10000; ++n) {
        const int v = rng.range(-3, 7);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_EQ(lo, -3);
    EXPECT_EQ(hi, 7);
    for (int y = -40; y < 200; y += 3)
        for (int x = -40; x < 200; x += 7) {
            EXPECT_LE(std::abs(smooth_noise(x, y, 32, 4, 25)), 25);
            EXPECT_LE(std::abs(grain(x, y, 4, 6)), 6);
        }
    // Smooth: neighbours differ by little.
    for (int x = 0; x < 300; ++x) EXPECT_LE(std::abs(smooth_noise(x + 1, 50, 64, 4, 1000) - smooth_noise(x, 50, 64, 4, 1000)), 50);
}

TEST(FixedPoint, IntegerSquareRootAndDecimals)
{
    for (std::int64_t n : {0LL, 1LL, 2LL, 3LL, 4LL, 99LL, 100LL, 101LL, 4294967296LL, 9000000000000000000LL}) {
        const std::int64_t r = integer_sqrt(n);
        EXPECT_LE(r * r, n);
        EXPECT_GT((r + 1) * (r + 1), n) << n;
    }
    EXPECT_EQ(two_decimals(1240), "12.40");
    EXPECT_EQ(two_decimals(5), "0.05");
    EXPECT_EQ(two_decimals(-5), "-0.05");
    EXPECT_EQ(divide_rounded(7, 2), 4);
    EXPECT_EQ(divide_rounded(-7, 2), -4);
    EXPECT_EQ(divide_rounded(5, 3), 2);
}

}  // namespace
