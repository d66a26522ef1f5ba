// Where a run's inputs lie: a segments file's world file and CRS, two maps
// that must lie alike, and the sidecars an output may share with its inputs.
#include "geo_input.h"
#include "geo_output.h"

#include "test_support.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

WorldFile world_of(std::array<double, 6> values)
{
    WorldFile world;
    world.values = values;
    world.found = world.complete = true;
    return world;
}

Georeference placed_at(double easting, double northing, const std::string& crs = {})
{
    Georeference georeference;
    georeference.world = world_of({0.5, 0, 0, -0.5, easting, northing});
    georeference.crs = crs;
    return georeference;
}

}  // namespace

// The suite's ".bpw" (read by the program) comes first; else the standard
// ".wld", its pixel centre taken back to the outer corner; the ".prj" beside
// the segments file gives the CRS. Every file read is named.
TEST(DataFileGeoreference, SuiteWorldFileFirstThenStandardOneAndPrj)
{
    TempDir dir;
    const std::string segments = dir.file("seg.txt");
    write_text(segments, "0 0 1 1\n");
    write_text(dir.file("seg.wld"), "2\n0\n0\n-2\n1001\n4999\n");
    write_text(dir.file("seg.prj"), "LOCAL_CS[\"plan\"]");

    Georeference georeference;
    std::vector<std::string> read;
    ASSERT_FALSE(data_file_georeference(segments, WorldFile{}, dir.file("seg.bpw"), georeference, read));
    EXPECT_EQ(georeference.world.values, (std::array<double, 6>{2, 0, 0, -2, 1000, 5000}));
    EXPECT_FALSE(georeference.crs.empty());
    EXPECT_EQ(read, (std::vector<std::string>{dir.file("seg.wld"), dir.file("seg.prj")}));

    Georeference from_bpw;
    read.clear();
    const WorldFile bpw = world_of({1, 0, 0, -1, 10, 20});
    ASSERT_FALSE(data_file_georeference(segments, bpw, dir.file("seg.bpw"), from_bpw, read));
    EXPECT_EQ(from_bpw.world.values, bpw.values);
    EXPECT_EQ(read, (std::vector<std::string>{dir.file("seg.prj")}));

    write_text(dir.file("seg.wld"), "2 0 0 -2 1001\n");
    const GeoProblem problem = data_file_georeference(segments, WorldFile{}, std::nullopt, georeference, read);
    EXPECT_EQ(problem.kind, GeoProblem::Kind::world_file_short);
    EXPECT_EQ(problem.path, dir.file("seg.wld"));
}

// Two maps of 40 x 30 pixels lie alike when their corners are within a
// thousandth of a pixel; a map without georeferencing takes the other's.
TEST(SharedGeoreference, MapsMustLieAlike)
{
    const Georeference map = placed_at(1000, 5000, "EPSG:32632");
    ASSERT_TRUE(shared_georeference(map, placed_at(1000.0001, 5000), 40, 30));
    EXPECT_FALSE(shared_georeference(map, placed_at(1000.001, 5000), 40, 30));
    Georeference larger_cells = map;
    larger_cells.world.values[0] = 0.50002;  // 0.0008 m over 40 pixels
    EXPECT_FALSE(shared_georeference(map, larger_cells, 40, 30));
    EXPECT_TRUE(shared_georeference(map, placed_at(1000, 5000, "EPSG:32632"), 40, 30));
    EXPECT_FALSE(shared_georeference(map, placed_at(1000, 5000, "EPSG:32633"), 40, 30));

    const auto taken = shared_georeference(Georeference{}, map, 40, 30);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->world.values, map.world.values);
    EXPECT_EQ(taken->crs, map.crs);
}

// A sidecar that is the very file the georeference was read from is left as
// it is; any other input is still never written over.
TEST(SidecarOutputs, TheFileReadIsLeftAsItIs)
{
    TempDir dir;
    OutputFiles outputs;
    outputs.add_input(dir.file("seg.prj"));
    outputs.add_input(dir.file("seg.txt"));
    std::vector<std::string> sidecars{dir.file("seg.prj")};
    EXPECT_FALSE(add_sidecar_outputs(outputs, sidecars, {dir.file("seg.prj")}));
    EXPECT_TRUE(sidecars.empty());

    std::vector<std::string> over_input{dir.file("seg.txt")};
    const auto problem = add_sidecar_outputs(outputs, over_input, {dir.file("seg.prj")});
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->kind, OutputProblem::Kind::overwrites_input);
}
