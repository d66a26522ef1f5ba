#include "standard_world_file.h"

#include "envi_map_info.h"
#include "geotransform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>

using namespace testsupport;

namespace {

WorldFile world_of(std::array<double, 6> values)
{
    WorldFile world;
    world.values = values;
    world.complete = true;
    return world;
}

TEST(StandardWorldFile, PixelCentreToOuterCorner)
{
    const WorldFile standard = world_of({0.5, 0, 0, -0.5, 500000.25, 5000000.75});
    EXPECT_EQ(suite_from_standard(standard).values, (std::array<double, 6>{0.5, 0, 0, -0.5, 500000.0, 5000001.0}));
    // General affine form: half a pixel back along both pixel axes.
    const WorldFile rotated = world_of({2, 0.5, 0.25, -2, 100, 200});
    EXPECT_EQ(suite_from_standard(rotated).values, (std::array<double, 6>{2, 0.5, 0.25, -2, 98.875, 200.75}));
    EXPECT_EQ(standard_from_suite(suite_from_standard(rotated)).values, rotated.values);
}

// Written and read back, the suite's values come back to the bit; the text
// holds the pixel centre.
TEST(StandardWorldFile, FileRoundTrip)
{
    TempDir dir;
    std::mt19937_64 random(16);
    std::uniform_int_distribution<int> quarters(1, 400);
    std::uniform_int_distribution<long long> corner(-40000000, 40000000);
    for (int i = 0; i < 200; ++i) {
        // Cell sizes and corners on a grid of 1/64 of a unit: every sum exact.
        const double A = quarters(random) / 4.0, E = -quarters(random) / 4.0;
        const WorldFile suite = world_of({A, 0, 0, E, corner(random) / 64.0, corner(random) / 64.0});
        ASSERT_FALSE(write_standard_world_file(dir.file("plan.wld"), suite));
        WorldFile back;
        ASSERT_FALSE(read_standard_world_file(dir.file("plan.wld"), back));
        ASSERT_TRUE(back.complete);
        ASSERT_EQ(back.values, suite.values);
    }
    ASSERT_FALSE(write_standard_world_file(dir.file("plan.wld"), world_of({0.5, 0, 0, -0.5, 1000, 2000})));
    EXPECT_EQ(read_text(dir.file("plan.wld")), "0.5\n0\n0\n-0.5\n1000.25\n1999.75\n");
}

TEST(StandardWorldFile, UnusableValuesAreProblems)
{
    TempDir dir;
    WorldFile world;
    EXPECT_EQ(read_standard_world_file(dir.file("none.wld"), world).kind, GeoProblem::Kind::cannot_open);
    write_text(dir.file("short.wld"), "1 0 0 -1 5");
    EXPECT_EQ(read_standard_world_file(dir.file("short.wld"), world).kind, GeoProblem::Kind::world_file_short);
    for (const char* text : {"1 0 0 -1 nan 5", "0 0 0 -1 5 5", "1 0 0 0 5 5", "1 0 0 -1 inf 5"}) {
        write_text(dir.file("bad.wld"), text);
        const GeoProblem problem = read_standard_world_file(dir.file("bad.wld"), world);
        EXPECT_EQ(problem.kind, GeoProblem::Kind::unusable_georeferencing) << text;
        EXPECT_EQ(problem.path, dir.file("bad.wld"));
    }
    EXPECT_FALSE(world.complete);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(write_standard_world_file(dir.file("out.wld"), world_of({1, 0, 0, -1, nan, 0})));
    EXPECT_FALSE(file_exists(dir.file("out.wld")));
}

TEST(StandardWorldFile, FoundBesideTheRaster)
{
    TempDir dir;
    auto found = [&](const std::string& raster) {
        return find_standard_world_file(dir.file(raster)).value_or("none");
    };
    EXPECT_EQ(found("a.tif"), "none");
    // Each world file written in turn, then looked for beside its raster
    // (a.tfw is found before the a.wld written earlier).
    const std::pair<const char*, const char*> beside[] = {
        {"a.wld", "a.tif"}, {"a.tfw", "a.tif"},  {"B.TFW", "B.TIF"},  {"c.jgw", "c.jpg"},
        {"d.pgw", "d.png"}, {"e.tifw", "e.tif"}, {"noext.wld", "noext"},
    };
    for (const auto& [world_file, raster] : beside) {
        write_text(dir.file(world_file), "");
        EXPECT_EQ(found(raster), dir.file(world_file));
    }

    // The suite's own outer-corner files are not standard ones.
    write_text(dir.file("plan.bpw"), "");
    write_text(dir.file("scene.rww"), "");
    EXPECT_EQ(found("plan.bmp"), "none");
    EXPECT_EQ(found("scene.raw"), "none");
    write_text(dir.file("plan.wld"), "");
    EXPECT_EQ(found("plan.bmp"), dir.file("plan.wld"));
}

TEST(Geotransform, WorldFileConversion)
{
    WorldFile world;
    ASSERT_FALSE(world_file_from_geotransform({500000, 0.5, -0.0, 5000000, -0.0, -0.5}, "t", world));
    EXPECT_EQ(world.values, (std::array<double, 6>{0.5, 0, 0, -0.5, 500000, 5000000}));
    EXPECT_FALSE(std::signbit(world.values[1]));
    EXPECT_EQ(geotransform_from_world_file(world), (Geotransform{500000, 0.5, 0, 5000000, 0, -0.5}));
    EXPECT_EQ(world_file_from_geotransform({0, 1, 0.1, 0, 0, -1}, "t", world).kind, GeoProblem::Kind::rotated);
    EXPECT_EQ(world_file_from_geotransform({0, 0, 0, 0, 0, -1}, "t", world).kind, GeoProblem::Kind::unusable_georeferencing);
}

TEST(EnviMapInfo, LineAndAppend)
{
    TempDir dir;
    std::string line;
    ASSERT_FALSE(envi_map_info(world_of({0.1, 0, 0, -0.1, 2600000.123456789, 1200000.5}), EnviProjection(), line));
    EXPECT_EQ(line, "map info = {Arbitrary, 1, 1, 2600000.123456789, 1200000.5, 0.1, 0.1}");
    write_text(dir.file("h.hdr"), "ENVI\n");
    ASSERT_FALSE(append_header_lines(dir.file("h.hdr"), {line, "x = {y}"}));
    EXPECT_EQ(read_text(dir.file("h.hdr")), "ENVI\n" + line + "\nx = {y}\n");
    EXPECT_EQ(append_header_lines(dir.file("no/h.hdr"), {line}).kind, GeoProblem::Kind::write_failed);
}

}  // namespace
