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
#include <random>
#include <set>
#include <sstream>

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

namespace {

// The pixels (x, y from the bottom) whose centres lie inside the record's
// rings under the even-odd rule.
std::set<std::pair<int, int>> pixels_inside(const std::vector<TestRing>& rings, int w, int h)
{
    std::set<std::pair<int, int>> inside;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            bool odd = false;
            for (const TestRing& ring : rings)
                for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
                    const auto [x1, y1] = ring[i];
                    const auto [x2, y2] = ring[i + 1];
                    if ((y1 > cy) != (y2 > cy) && cx < x1 + (cy - y1) * (x2 - x1) / (y2 - y1)) odd = !odd;
                }
            if (odd) inside.emplace(x, y);
        }
    return inside;
}

// The pixel counts of the zones in a cover report, in order.
std::vector<int> reported_counts(const std::string& report)
{
    std::vector<int> counts;
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int zone = 0, count = 0;
        double cover = 0;
        if (fields >> zone >> cover >> count) counts.push_back(count);
    }
    return counts;
}

}  // namespace

TEST(ZonrikReadBack, EveryBlobOfRandomClassMapsIsMeasuredWholeAndAlone)
{
    // Class maps of three colours, from scattered pixels (blobs meeting at
    // corners, holes with islands) to solid blocks with holes, on every edge.
    std::mt19937 rng(8086);
    int zones = 0;
    for (int map = 0; map < 6; ++map) {
        const int w = 20 + static_cast<int>(rng() % 40), h = 15 + static_cast<int>(rng() % 35);
        const double density = 0.3 + 0.1 * map;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h);
        for (auto& p : pixels) p = std::uniform_real_distribution<double>(0, 1)(rng) < density ? 1 + rng() % 3 : 0;
        for (int block = 0; block < map; ++block) {
            const int x0 = static_cast<int>(rng() % w), y0 = static_cast<int>(rng() % h);
            const int x1 = std::min(w, x0 + 3 + static_cast<int>(rng() % 12));
            const int y1 = std::min(h, y0 + 3 + static_cast<int>(rng() % 12));
            const auto colour = static_cast<std::uint8_t>(1 + rng() % 3);
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) pixels[static_cast<std::size_t>(y) * w + x] = colour;
        }
        Palette palette = grey_palette();
        palette[1] = 0xFF0000;
        palette[2] = 0x00FF00;
        palette[3] = 0x0000FF;
        TempDir dir;
        write_bytes(dir.file("map.bmp"), make_bmp(w, h, pixels, palette));
        // Whole-number values, so that every sum is exact whatever its order.
        std::vector<float> values;
        for (int r = 0; r < h; ++r)
            for (int x = 0; x < w; ++x) values.push_back(static_cast<float>((x * 37 + r * 101) % 997 + 1));
        write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), w, h, values);
        ASSERT_EQ(run_program("polvane", {"map.bmp", "zones"}, dir.path()).status, 0);

        std::set<std::pair<int, int>> covered;
        for (int colour = 0; colour < 3; ++colour) {
            const std::string shp = "zones_" + std::to_string(colour) + ".shp";
            const RunResult mean = run_program("zonrik", {shp, "bg.raw", "mean", "mean"}, dir.path());
            ASSERT_EQ(mean.status, 0) << mean.out;
            EXPECT_EQ(mean.out.find("skipped"), std::string::npos) << "map " << map;
            ASSERT_EQ(run_program("zonrik", {shp, "bg.raw", "cover", "c_cover", "--cover-max=50", "--cover-min=10"},
                                  dir.path())
                          .status,
                      0);
            const std::vector<int> counts = reported_counts(read_text(dir.file("cover_cover.txt")));
            const Bytes raw = read_bytes(dir.file("mean.raw"));
            const auto records = shapefile_rings(read_bytes(dir.file(shp)));
            ASSERT_EQ(counts.size(), records.size()) << "map " << map;

            // Each zone: its blob's pixels (the record's pixels under the
            // even-odd rule, all of one colour), their number in the
            // report, their mean painted over them.
            std::set<std::pair<int, int>> zones_of_colour;
            std::uint8_t colour_index = 0;
            for (std::size_t i = 0; i < records.size(); ++i, ++zones) {
                const auto blob = pixels_inside(records[i], w, h);
                ASSERT_FALSE(blob.empty());
                EXPECT_EQ(counts[i], static_cast<int>(blob.size())) << "map " << map << " record " << i;
                double sum = 0;
                for (const auto& [x, y] : blob) {
                    const int r = h - 1 - y;
                    sum += values[static_cast<std::size_t>(r) * w + x];
                    if (colour_index == 0) colour_index = pixels[static_cast<std::size_t>(r) * w + x];
                    EXPECT_EQ(pixels[static_cast<std::size_t>(r) * w + x], colour_index);
                    EXPECT_TRUE(zones_of_colour.insert({x, y}).second) << "two zones share a pixel";
                }
                const float expected = static_cast<float>(sum / static_cast<double>(blob.size()));
                for (const auto& [x, y] : blob)
                    EXPECT_EQ(le_float(raw, 4 * ((h - 1 - y) * w + x)), expected) << "map " << map << " record " << i;
            }
            // The zones cover every pixel of their colour and nothing else.
            int painted = 0;
            for (std::size_t p = 0; p < static_cast<std::size_t>(w) * h; ++p) painted += le_float(raw, 4 * p) != 0.0f;
            EXPECT_EQ(painted, static_cast<int>(zones_of_colour.size()));
            EXPECT_EQ(static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), colour_index)),
                      zones_of_colour.size());
            covered.insert(zones_of_colour.begin(), zones_of_colour.end());
        }
        EXPECT_EQ(covered.size(), pixels.size() - static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), 0)));
    }
    EXPECT_GT(zones, 300);
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
