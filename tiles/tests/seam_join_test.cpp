// Tiled tracing joined again against one run on the whole class map: the
// shapefiles of every class, byte for byte, on random class maps cut into
// tiles of several sizes, and on the cases that join across seams and
// corners.
#include "class_tracing.h"
#include "colour_merge.h"
#include "rings.h"
#include "reference_vectoriser.h"
#include "shapefile_writer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

using namespace testsupport;

namespace {

// Colours of the test classes in the plan (any distinct non-grey values).
std::int32_t colour_of(int class_index) { return 0x010000 * (class_index + 1) + 7; }

int class_count(const Grid<std::uint8_t>& classes)
{
    int count = 0;
    for (int y = 0; y < classes.height(); ++y)
        for (int x = 0; x < classes.width(); ++x)
            if (classes(x, y) != test_no_class) count = std::max(count, classes(x, y) + 1);
    return count;
}

void write_class(const Grid<std::uint8_t>& classes, int c, const std::string& name, const ShapefileOptions& options)
{
    ClassTracer tracer(classes, test_no_class, class_count(classes));
    RecordArrays records;
    tracer.trace_class(c, records);
    ASSERT_FALSE(gen_file_shp(shapefile_paths(name), records, classes.width(), classes.height(), options));
}

// The tiles of `classes` traced one by one as the tiled work flow does
// (pixel units, census order of the tile), their plan returned.
TiledRun trace_tiles(const Grid<std::uint8_t>& classes, int tile, const TempDir& dir)
{
    TiledRun run;
    run.width = classes.width();
    run.height = classes.height();
    run.output = dir.file("joined");
    const int H = classes.height();
    for (int y0 = 0; y0 < H; y0 += tile)
        for (int x0 = 0; x0 < classes.width(); x0 += tile) {
            TilePlan plan;
            plan.folder = dir.file("tile_" + std::to_string(x0) + "_" + std::to_string(y0));
            std::filesystem::create_directory(plan.folder);
            plan.x0 = x0;
            plan.y0 = y0;
            plan.width = std::min(tile, classes.width() - x0);
            plan.height = std::min(tile, H - y0);
            const int bottom = plan.bottom(H);
            Grid<std::uint8_t> part(plan.width, plan.height, test_no_class);
            std::map<int, std::pair<std::int64_t, std::int64_t>> first;  // class -> (x, y from the top)
            for (int x = 0; x < plan.width; ++x)
                for (int y = 0; y < plan.height; ++y) {
                    const std::uint8_t c = classes(x0 + x, bottom + y);
                    part(x, y) = c;
                    const std::pair<std::int64_t, std::int64_t> at{x0 + x, H - 1 - (bottom + y)};
                    if (c != test_no_class && (!first.count(c) || at < first[c])) first[c] = at;
                }
            std::vector<std::pair<std::pair<std::int64_t, std::int64_t>, int>> order;
            for (const auto& [c, at] : first) order.push_back({at, c});
            std::sort(order.begin(), order.end());
            // The tile's own classes renumbered in its census order, as
            // Polvane numbers them.
            Grid<std::uint8_t> renumbered(plan.width, plan.height, test_no_class);
            for (std::size_t n = 0; n < order.size(); ++n) {
                const int c = order[n].second;
                plan.census.push_back({colour_of(c), order[n].first.first, order[n].first.second});
                for (int y = 0; y < plan.height; ++y)
                    for (int x = 0; x < plan.width; ++x)
                        if (part(x, y) == c) renumbered(x, y) = static_cast<std::uint8_t>(n);
            }
            for (std::size_t n = 0; n < order.size(); ++n) write_class(renumbered, static_cast<int>(n), plan.shapes(n), {});
            run.tiles.push_back(plan);
        }
    return run;
}

// Every class of the tiled map joined equals one run, byte for byte.
void expect_tiled_equals_one_run(const Grid<std::uint8_t>& classes, int tile, const ShapefileOptions& options = {})
{
    TempDir dir;
    TiledRun run = trace_tiles(classes, tile, dir);
    run.world = options.world;
    std::vector<std::int32_t> expected_census;
    {
        Grid<std::int32_t> colours(classes.width(), classes.height(), 0x808080);
        for (int y = 0; y < classes.height(); ++y)
            for (int x = 0; x < classes.width(); ++x)
                if (classes(x, y) != test_no_class) colours(x, classes.height() - 1 - y) = colour_of(classes(x, y));
        ASSERT_TRUE(census_by_columns(colours, expected_census, 253));
    }
    ASSERT_EQ(mosaic_census(run), expected_census);
    for (int c = 0; c < class_count(classes); ++c) {
        if (std::find(expected_census.begin(), expected_census.end(), colour_of(c)) == expected_census.end()) continue;
        write_class(classes, c, dir.file("whole"), options);
        ASSERT_FALSE(merge_colour(run, colour_of(c), shapefile_paths(dir.file("joined")), options));
        for (const char* ext : {".shp", ".shx", ".dbf"})
            ASSERT_EQ(read_bytes(dir.file("joined") + ext), read_bytes(dir.file("whole") + ext))
                << "class " << c << ext << ", tiles of " << tile << " on " << classes.width() << "x"
                << classes.height();
    }
}

}  // namespace

TEST(SeamJoin, DiagonalPixelsAcrossATileCornerAreOneBlob)
{
    // Tiles of 2: the corner at (2, 2) from the top-left joins a and b.
    expect_tiled_equals_one_run(class_map({
                                    "....",
                                    ".a..",
                                    "..a.",
                                    "....",
                                }),
                                2);
    expect_tiled_equals_one_run(class_map({
                                    "....",
                                    "..a.",
                                    ".a..",
                                    "....",
                                }),
                                2);
}

TEST(SeamJoin, RingAcrossFourTilesClosesAHoleWithAnIsland)
{
    expect_tiled_equals_one_run(class_map({
                                    "........",
                                    ".aaaaaa.",
                                    ".a....a.",
                                    ".a.aa.a.",
                                    ".a.aa.a.",
                                    ".a....a.",
                                    ".aaaaaa.",
                                    "........",
                                }),
                                4);
}

TEST(SeamJoin, IslandsTouchingThemselvesAtCornersInAHoleTheJoinCloses)
{
    // A checker island, and an island whose hole touches its outside at a
    // corner, inside a ring that only the join closes: the tracer follows
    // the islands' rings as later rings, turning as it does there.
    expect_tiled_equals_one_run(class_map({
                                    "............",
                                    ".aaaaaaaaaa.",
                                    ".a........a.",
                                    ".a.a.a....a.",
                                    ".a..a..aa.a.",
                                    ".a.a.a.a.aa.",
                                    ".a.....aaa.a",
                                    ".a........a.",
                                    ".aaaaaaaaaa.",
                                    "............",
                                }),
                                5);
}

TEST(SeamJoin, RandomClassMapsTiledEqualOneRun)
{
    std::mt19937 rng(5);
    for (int trial = 0; trial < 50; ++trial) {
        // Tiles of one pixel on small maps; up to 12 on larger ones.
        const int size = trial < 10 ? 10 : 40;
        const int width = 2 + static_cast<int>(rng() % size), height = 2 + static_cast<int>(rng() % size);
        const Grid<std::uint8_t> classes = random_class_map(rng, width, height, 1 + static_cast<int>(rng() % 4));
        expect_tiled_equals_one_run(classes, trial < 10 ? 1 : 2 + static_cast<int>(rng() % 11));
        if (HasFatalFailure()) return;
    }
}

TEST(SeamJoin, RandomFramesAroundSpeckledIslandsTiledEqualOneRun)
{
    // Frames that seams cut, holding speckles of their class and of another
    // (islands touching themselves and one another at corners, islands with
    // holes), so that the joins close holes full of islands.
    std::mt19937 rng(23);
    auto pick = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    for (int trial = 0; trial < 30; ++trial) {
        const int width = pick(12, 40), height = pick(12, 40);
        Grid<std::uint8_t> classes(width, height, test_no_class);
        for (int frame = 0; frame < 3; ++frame) {
            const int x0 = pick(0, width - 8), y0 = pick(0, height - 8);
            const int x1 = pick(x0 + 7, width - 1), y1 = pick(y0 + 7, height - 1);
            const std::uint8_t c = static_cast<std::uint8_t>(pick(0, 1));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const bool edge = x == x0 || x == x1 || y == y0 || y == y1;
                    const bool inner = x > x0 + 1 && x < x1 - 1 && y > y0 + 1 && y < y1 - 1;
                    if (edge) classes(x, y) = c;
                    else if (!inner) classes(x, y) = test_no_class;
                    else classes(x, y) = pick(0, 2) == 0 ? static_cast<std::uint8_t>(pick(0, 1)) : test_no_class;
                }
        }
        expect_tiled_equals_one_run(classes, pick(3, 12));
        if (HasFatalFailure()) return;
    }
}

TEST(SeamJoin, MapUnitsAndEsriRingsAsOneRun)
{
    std::mt19937 rng(9);
    ShapefileOptions options;
    options.world.values = {0.25, 0, 0, -0.25, 500000.125, 4100000.5};
    options.world.found = options.world.complete = true;
    options.rings = RingOrientation::esri;
    expect_tiled_equals_one_run(random_class_map(rng, 37, 29, 3), 8, options);
}

TEST(RingIndex, SameAnswersAsTheWholeRing)
{
    std::mt19937 rng(11);
    for (int trial = 0; trial < 4; ++trial) {
        const Grid<std::uint8_t> classes = random_class_map(rng, 100, 100, 2);
        ClassTracer tracer(classes, test_no_class, 2);
        RecordArrays records;
        tracer.trace_class(0, records);
        for (const auto& rings : records_as_rings(records))
            for (const auto& ring : rings) {
                EdgeRing corners;
                for (const auto& [x, y] : ring) corners.push_back({static_cast<int>(x), static_cast<int>(y)});
                const RingIndex index(corners);
                for (int y = 0; y <= 100; ++y)
                    for (int x = 0; x <= 100; ++x)
                        ASSERT_EQ(index.pixel_inside({x, y}), pixel_inside(corners, {x, y})) << x << "," << y;
            }
    }
}
