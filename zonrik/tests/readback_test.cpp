// Zonrik on polygon shapefiles written by other tools: Polvane's, whose
// rings run counter-clockwise around the outside, and GDAL's ogr2ogr
// rewrite of them in the standard orientation (run only when GDAL's tools
// are installed). Zones re-traced from Polvane's polygons must give back
// Polvane's polygons.
#include "bmp_builder.h"
#include "shapefile_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

using namespace testsupport;

namespace {

// Class map, rows from the top: '#' the class. Blobs on every edge of the
// map, an island with a hole of its own in the hole of a ring, a ring of
// four pixels meeting at their corners round one pixel of background, and
// blobs whose pixels meet only at corners (rings touching themselves).
const std::vector<std::string> class_rows = {
    "##.......#######",
    "##.......#.....#",
    ".........#.###.#",
    "..#......#.#.#.#",
    ".#.#.....#.###.#",
    "..#......#.....#",
    ".........#######",
    "................",
    "####....##.....#",
    "#..#...#..#...##",
    "#.##...#.#.#...#",
    "####....#.#....#",
};
const int width = 16, height = 12;

Bytes class_bmp()
{
    Palette palette = grey_palette();
    palette[1] = 0xFF0000;
    std::vector<std::uint8_t> pixels;
    for (const auto& row : class_rows)
        for (char c : row) pixels.push_back(c == '#' ? 1 : 0);
    return make_bmp(width, height, pixels, palette);
}

// Background values, rows from the top: distinct and not all integers.
float background_value(int x, int r) { return 0.25f * static_cast<float>(x * x) + 3.0f * r - 7.0f; }

void write_background(const TempDir& dir)
{
    std::vector<float> values;
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) values.push_back(background_value(x, r));
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), width, height, values);
}

bool gdal_installed()
{
    return std::system("command -v ogr2ogr > /dev/null 2>&1 && command -v ogrinfo > /dev/null 2>&1") == 0;
}

// The output of a shell command.
std::string command_output(const std::string& command)
{
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

}  // namespace

TEST(ZonrikReadBack, PolvanePolygonsComeBackAsTheyWere)
{
    for (bool georeferenced : {false, true}) {
        TempDir dir;
        write_bytes(dir.file("map.bmp"), class_bmp());
        write_background(dir);
        if (georeferenced) {
            write_text(dir.file("map.bpw"), "0.5\n0\n0\n-0.5\n500000\n5000512\n");
            write_text(dir.file("bg.rww"), "0.5\n0\n0\n-0.5\n500000\n5000512\n");
        }
        ASSERT_EQ(run_program("polvane", {"map.bmp", "zones"}, dir.path()).status, 0);
        const RunResult r = run_program("zonrik", {"zones_0.shp", "bg.raw", "out", "mean"}, dir.path());
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out.find("skipped"), std::string::npos);
        EXPECT_EQ(read_bytes(dir.file("out.shp")), read_bytes(dir.file("zones_0.shp"))) << georeferenced;
        EXPECT_EQ(read_bytes(dir.file("out.shx")), read_bytes(dir.file("zones_0.shx")));

        // Every blob's pixels carry the mean of their background values.
        const Bytes raw = read_bytes(dir.file("out.raw"));
        std::map<float, std::vector<float>> blobs;  // zone value -> background values
        for (int r = 0; r < height; ++r)
            for (int x = 0; x < width; ++x) {
                const float value = le_float(raw, 4 * (r * width + x));
                EXPECT_EQ(class_rows[r][x] == '#', value != 0.0f) << x << "," << r;
                if (value != 0.0f) blobs[value].push_back(background_value(x, r));
            }
        for (const auto& [value, values] : blobs) {
            double sum = 0;
            for (float v : values) sum += v;
            EXPECT_EQ(value, static_cast<float>(sum / values.size()));
        }
    }
}

TEST(ZonrikReadBack, ZonesOfAShapefileWrittenByGdal)
{
    if (!gdal_installed()) GTEST_SKIP() << "GDAL's ogr2ogr is not installed";
    TempDir dir;
    write_background(dir);
    // A square with a square hole, a triangle, and two squares in one
    // feature (both in its zone).
    write_text(dir.file("in.geojson"),
               R"({"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {}, "geometry": {"type": "Polygon", "coordinates":
  [[[1, 1], [5, 1], [5, 5], [1, 5], [1, 1]], [[2, 2], [2, 4], [4, 4], [4, 2], [2, 2]]]}},
{"type": "Feature", "properties": {}, "geometry": {"type": "Polygon", "coordinates":
  [[[6.5, 1.5], [11.5, 1.5], [6.5, 7.5], [6.5, 1.5]]]}},
{"type": "Feature", "properties": {}, "geometry": {"type": "MultiPolygon", "coordinates":
  [[[[1, 7], [3, 7], [3, 9], [1, 9], [1, 7]]], [[[12, 7], [14, 7], [14, 9], [12, 9], [12, 7]]]]}}
]})");
    ASSERT_EQ(std::system(("cd '" + dir.path() + "' && ogr2ogr -q -f 'ESRI Shapefile' gdal.shp in.geojson").c_str()), 0);
    const RunResult r = run_program("zonrik", {"gdal.shp", "bg.raw", "from_gdal", "mean"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.out;

    // GDAL writes outer rings clockwise and holes counter-clockwise; the
    // same polygons with every ring the other way round give the same zones.
    auto reversed = [](TestRing ring) {
        std::reverse(ring.begin(), ring.end());
        return ring;
    };
    write_bytes(dir.file("own.shp"),
                polygon_shapefile({{{reversed(test_rectangle(1, 1, 5, 5)), reversed(test_rectangle(2, 2, 4, 4))}},
                                   {{{{6.5, 1.5}, {11.5, 1.5}, {6.5, 7.5}, {6.5, 1.5}}}},
                                   {{test_rectangle(1, 7, 3, 9), test_rectangle(12, 7, 14, 9)}}}));
    ASSERT_EQ(run_program("zonrik", {"own.shp", "bg.raw", "from_own", "mean"}, dir.path()).status, 0);
    const Bytes raw = read_bytes(dir.file("from_gdal.raw"));
    EXPECT_NE(read_bytes(dir.file("gdal.shp")), read_bytes(dir.file("own.shp")));
    EXPECT_EQ(raw, read_bytes(dir.file("from_own.raw")));
    EXPECT_EQ(read_bytes(dir.file("from_gdal.shp")), read_bytes(dir.file("from_own.shp")));

    // The square with its hole, and both squares of the last feature (x
    // from the left, y from the bottom).
    auto painted = [&](int x, int y) { return le_float(raw, 4 * ((height - 1 - y) * width + x)) != 0.0f; };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool square = x >= 1 && x <= 4 && y >= 1 && y <= 4 && !(x >= 2 && x <= 3 && y >= 2 && y <= 3);
            EXPECT_EQ(painted(x, y), square || (x >= 1 && x <= 2 && y >= 7 && y <= 8)) << x << "," << y;
        }
    for (int y = 7; y <= 8; ++y)
        for (int x = 12; x <= 13; ++x) EXPECT_TRUE(painted(x, y));
    EXPECT_TRUE(painted(7, 2));  // inside the triangle
}

TEST(ZonrikReadBack, GdalReadsTheValueTable)
{
    if (!gdal_installed()) GTEST_SKIP() << "GDAL's ogr2ogr is not installed";
    TempDir dir;
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 6, 2,
                           {0, 0, 0, 0, 0, 0, 12.5f, 12.5f, -3.25f, -3.25f, 0, 0});
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(0, 0, 2, 1)}},
                                                      {{test_rectangle(2, 0, 4, 1)}},
                                                      {{test_rectangle(4.2, 0, 4.8, 1)}}}));  // empty zone
    ASSERT_EQ(run_program("zonrik", {"a.shp", "bg.raw", "out", "mean"}, dir.path()).status, 0);
    const std::string info = command_output("cd '" + dir.path() + "' && ogrinfo -ro -al -q out.shp 2>&1");
    EXPECT_NE(info.find("VALUE (Real) = 12.500000\n"), std::string::npos) << info;
    EXPECT_NE(info.find("VALUE (Real) = -3.250000\n"), std::string::npos) << info;
    EXPECT_NE(info.find("VALUE (Real) = (null)\n"), std::string::npos) << info;
    EXPECT_NE(info.find("POLYGON ((0 0,2 0,2 1,0 1,0 0))"), std::string::npos) << info;
}
