#include "crs.h"
#include "envi_georeferencing.h"
#include "raw.h"

#include "gdal_test_rasters.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

TEST(Crs, PrjRoundTrip)
{
    TempDir dir;
    for (int epsg : {32632, 32733, 4326, 3035, 2056, 27700}) {
        SCOPED_TRACE(epsg);
        const std::string wkt = gdaltest::epsg_wkt(epsg);
        ASSERT_FALSE(write_prj_file(dir.file("plan.prj"), wkt));
        const std::string text = read_text(dir.file("plan.prj"));
        EXPECT_TRUE(text.rfind("PROJCS[", 0) == 0 || text.rfind("GEOGCS[", 0) == 0) << text;
        EXPECT_EQ(text.find('\n'), std::string::npos);

        ASSERT_EQ(find_prj_file(dir.file("plan.bmp")).value_or(""), dir.file("plan.prj"));
        std::string back;
        ASSERT_FALSE(read_prj_file(dir.file("plan.prj"), back));
        EXPECT_TRUE(gdaltest::same_crs(back, wkt));
    }
}

TEST(Crs, PrjProblems)
{
    TempDir dir;
    EXPECT_FALSE(find_prj_file(dir.file("plan.bmp")).has_value());
    std::string wkt;
    EXPECT_EQ(read_prj_file(dir.file("plan.prj"), wkt).kind, GeoProblem::Kind::cannot_open);
    write_text(dir.file("plan.PRJ"), "not a coordinate system");
    ASSERT_EQ(find_prj_file(dir.file("plan.bmp")).value_or(""), dir.file("plan.PRJ"));
    EXPECT_EQ(read_prj_file(dir.file("plan.PRJ"), wkt).kind, GeoProblem::Kind::bad_crs);
    EXPECT_EQ(write_prj_file(dir.file("out.prj"), "nonsense").kind, GeoProblem::Kind::bad_crs);
    EXPECT_FALSE(file_exists(dir.file("out.prj")));
}

// The suite's float RAW and ENVI header, with the georeferencing lines
// added, open in GDAL with the same geotransform and CRS.
TEST(Crs, EnviMapInfoReadBackByGdal)
{
    TempDir dir;
    struct Case {
        int epsg;
        WorldFile world;
        const char* map_info;
    };
    WorldFile utm;
    utm.values = {0.25, 0, 0, -0.25, 500123.25, 5000456.75};
    utm.complete = true;
    WorldFile degrees;
    degrees.values = {1.0 / 3600, 0, 0, -1.0 / 3600, 7.1, 45.3};
    degrees.complete = true;
    WorldFile south_up = utm;
    south_up.values[3] = 0.5;
    const Case cases[] = {
        {32632, utm, "map info = {UTM, 1, 1, 500123.25, 5000456.75, 0.25, 0.25, 32, North, WGS-84}"},
        {32733, utm, "map info = {UTM, 1, 1, 500123.25, 5000456.75, 0.25, 0.25, 33, South, WGS-84}"},
        {4326, degrees, nullptr},
        {3035, south_up, "map info = {Arbitrary, 1, 1, 500123.25, 5000456.75, 0.25, -0.5}"},
        {0, utm, "map info = {Arbitrary, 1, 1, 500123.25, 5000456.75, 0.25, 0.25}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.epsg);
        const std::string wkt = c.epsg ? gdaltest::epsg_wkt(c.epsg) : "";
        Grid<float> image(3, 2, 1.5f);
        ASSERT_FALSE(write_raw_floats(dir.file("zones.raw"), image));
        ASSERT_FALSE(write_envi_header(dir.file("zones.hdr"), "zones", 3, 2));
        std::vector<std::string> lines;
        ASSERT_FALSE(envi_georeferencing_lines(c.world, wkt, lines));
        ASSERT_EQ(lines.size(), c.epsg ? 2u : 1u);
        if (c.map_info) {
            EXPECT_EQ(lines[0], c.map_info);
        }
        ASSERT_FALSE(append_header_lines(dir.file("zones.hdr"), lines));

        const gdaltest::ReadBack back = gdaltest::read_with_gdal(dir.file("zones.raw"));
        EXPECT_EQ(back.values, std::vector<double>(6, 1.5));
        const Geotransform expected = geotransform_from_world_file(c.world);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(back.geotransform[i], expected[i]) << i;
        if (c.epsg) {
            EXPECT_TRUE(gdaltest::same_crs(back.crs_wkt, wkt));
        }
    }

    WorldFile rotated = utm;
    rotated.values[1] = 0.01;
    std::vector<std::string> lines;
    EXPECT_EQ(envi_georeferencing_lines(rotated, "", lines).kind, GeoProblem::Kind::rotated);
    EXPECT_EQ(envi_georeferencing_lines(WorldFile(), "", lines).kind, GeoProblem::Kind::unusable_georeferencing);
}

}  // namespace
