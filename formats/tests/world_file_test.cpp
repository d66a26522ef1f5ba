#include "world_file.h"

#include "test_support.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

TEST(WorldFile, NameDerivation)
{
    EXPECT_EQ(world_file_name("plan.bmp", "bpw").value(), "plan.bpw");
    EXPECT_EQ(world_file_name("scene.raw", "rww").value(), "scene.rww");
    EXPECT_EQ(world_file_name("a.b", "bpw").value(), "bpw");
    EXPECT_FALSE(world_file_name("ab", "bpw").has_value());
}

TEST(WorldFile, WriterExtentAndConversion)
{
    TempDir dir;
    write_text(dir.file("w.bpw"), "2\n0\n0\n-2\n1000\n5000\n");
    const WorldFile world = read_world_file(dir.file("w.bpw"));
    ASSERT_TRUE(world.found);
    ASSERT_TRUE(world.complete);
    const MapExtent e = writer_extent(world, 10, 5);
    EXPECT_EQ(e.x_min, 1000);
    EXPECT_EQ(e.x_max, 1020);
    EXPECT_EQ(e.y_min, 4990);
    EXPECT_EQ(e.y_max, 5000);
    EXPECT_EQ(map_x(e, 0, 10), 1000);
    EXPECT_EQ(map_y(e, 0, 5), 4990);
    EXPECT_EQ(map_x(e, 10, 10), 1020);
    EXPECT_EQ(map_y(e, 5, 5), 5000);

    // Positive E: the writers take absolute values, the raster extent does not.
    write_text(dir.file("p.rww"), "2 0 0 2 1000 5000");
    const WorldFile up = read_world_file(dir.file("p.rww"));
    const MapExtent w = writer_extent(up, 10, 5);
    EXPECT_EQ(w.y_min, 4990);
    EXPECT_EQ(w.y_max, 5000);
    const MapExtent r = raster_extent(up, 10, 5);
    EXPECT_EQ(r.y_min, 5000);
    EXPECT_EQ(r.y_max, 5010);
}

TEST(WorldFile, UtmCoordinatesKeepTheirPrecision)
{
    TempDir dir;
    write_text(dir.file("u.bpw"), "0.5 0 0 -0.5 500123.25 5000456.75");
    const WorldFile world = read_world_file(dir.file("u.bpw"));
    const MapExtent e = writer_extent(world, 1024, 1024);
    EXPECT_EQ(e.x_min, 500123.25);
    EXPECT_EQ(e.y_max, 5000456.75);
    EXPECT_EQ(map_x(e, 1, 1024), 500123.75);
}

TEST(WorldFile, IncompleteOrMissingFiles)
{
    TempDir dir;
    write_text(dir.file("f.bpw"), "2 0 0 -2 1000");
    const WorldFile incomplete = read_world_file(dir.file("f.bpw"));
    EXPECT_TRUE(incomplete.found);
    EXPECT_FALSE(incomplete.complete);
    EXPECT_FALSE(read_world_file(dir.file("none.bpw")).found);
    EXPECT_FALSE(read_world_file(std::nullopt).found);
    const MapExtent e = writer_extent(WorldFile(), 10, 5);
    EXPECT_EQ(e.x_max, 10);
    EXPECT_EQ(e.y_max, 5);
}

TEST(WorldFile, ZonrikRasterExtent)
{
    TempDir dir;
    write_text(dir.file("b.rww"), "2.0 0 0 -2.0 1000.0 5000.0");
    const MapExtent e = raster_extent(read_world_file(dir.file("b.rww")), 100, 50);
    EXPECT_EQ(e.x_min, 1000);
    EXPECT_EQ(e.y_min, 4900);
    EXPECT_EQ(e.x_max, 1200);
    EXPECT_EQ(e.y_max, 5000);
    const MapExtent none = raster_extent(WorldFile(), 100, 50);
    EXPECT_EQ(none.x_max, 100);
    EXPECT_EQ(none.y_max, 50);
}

TEST(WorldFile, WriterUsesTheShortestExactDecimalsAndReadsBack)
{
    TempDir dir;
    WorldFile world;
    world.values = {0.5, 0, 0, -0.5, 500000, 5000512.25};
    ASSERT_FALSE(write_world_file(dir.file("w.bpw"), world));
    EXPECT_EQ(read_text(dir.file("w.bpw")), "0.5\n0\n0\n-0.5\n500000\n5000512.25\n");

    world.values = {0.1, 1e-30, 0, -2, 1e300, 123456.789};
    ASSERT_FALSE(write_world_file(dir.file("x.bpw"), world));
    const WorldFile back = read_world_file(dir.file("x.bpw"));
    ASSERT_TRUE(back.complete);
    EXPECT_EQ(back.values, world.values);

    EXPECT_TRUE(write_world_file(dir.file("no such folder/w.bpw"), world));
}

}  // namespace
