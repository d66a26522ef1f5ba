// The windowed tracing against the whole-image procedure on random class
// maps: the same records, byte for byte, and rings that cover exactly the
// pixels of their class.
#include "blob_search.h"
#include "class_regions.h"
#include "class_tracing.h"
#include "reference_vectoriser.h"
#include "shapefile_writer.h"
#include "test_support.h"
#include "work_window.h"

#include <gtest/gtest.h>

TEST(ClassRegions, EightConnectedRegionsInSearchOrder)
{
    const Grid<std::uint8_t> classes = class_map({
        "a..b",
        ".a.b",
        "b...",
        "..aa",
    });
    const ClassRegions found = find_class_regions(classes, test_no_class);
    ASSERT_EQ(found.regions.size(), 4u);
    // Bottom row first: the pair of a at the right, then the b at the left
    // of the next row, then the diagonal a pair, then the b column.
    EXPECT_EQ(found.regions[0].class_index, 0);
    EXPECT_EQ(found.regions[0].x_min, 3);
    EXPECT_EQ(found.regions[0].x_max, 4);
    EXPECT_EQ(found.regions[1].class_index, 1);
    EXPECT_EQ(found.regions[1].y_min, 2);
    EXPECT_EQ(found.regions[2].class_index, 0);
    EXPECT_EQ(found.regions[2].x_min, 1);
    EXPECT_EQ(found.regions[2].x_max, 2);
    EXPECT_EQ(found.regions[2].y_min, 3);
    EXPECT_EQ(found.regions[2].y_max, 4);
    EXPECT_EQ(found.regions[3].class_index, 1);
    EXPECT_EQ(found.regions[3].y_max, 4);
    const auto lists = regions_by_class(found, 2);
    EXPECT_EQ(lists[0], (std::vector<std::int32_t>{0, 2}));
    EXPECT_EQ(lists[1], (std::vector<std::int32_t>{1, 3}));
}

TEST(ClassRegions, MapWithoutColumnsHasNoRegionsWhateverItsRows)
{
    const Grid<std::uint8_t> classes(0, 2147483647, 0);
    const ClassRegions found = find_class_regions(classes, test_no_class);
    EXPECT_TRUE(found.regions.empty());
    EXPECT_EQ(found.region_of.width(), 0);
    EXPECT_EQ(found.region_of.height(), 2147483647);
    ClassTracer tracer(classes, test_no_class, 1);
    RecordArrays records;
    tracer.trace_class(0, records);
    EXPECT_EQ(records.record_count(), 0u);
}

TEST(ClassRegions, SameRegionsAsAFloodFillInScanOrder)
{
    std::mt19937 rng(17);
    for (int trial = 0; trial < 200; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 30), height = 1 + static_cast<int>(rng() % 30);
        const Grid<std::uint8_t> classes = random_class_map(rng, width, height, 3);
        const ClassRegions found = find_class_regions(classes, test_no_class);
        // Flood fill from every unlabelled pixel in scan order.
        Grid<std::int32_t> label(width, height, -1);
        int regions = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (classes(x, y) == test_no_class || label(x, y) >= 0) continue;
                ASSERT_LT(regions, static_cast<int>(found.regions.size())) << trial;
                const ClassRegion& region = found.regions[regions];
                EXPECT_EQ(region.class_index, classes(x, y)) << trial;
                int x_min = x, x_max = x, y_max = y;
                std::vector<std::pair<int, int>> stack{{x, y}};
                label(x, y) = regions;
                while (!stack.empty()) {
                    const auto [px, py] = stack.back();
                    stack.pop_back();
                    x_min = std::min(x_min, px);
                    x_max = std::max(x_max, px);
                    y_max = std::max(y_max, py);
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            const int nx = px + dx, ny = py + dy;
                            if (label.contains(nx, ny) && label(nx, ny) < 0 && classes(nx, ny) == classes(x, y)) {
                                label(nx, ny) = regions;
                                stack.emplace_back(nx, ny);
                            }
                        }
                }
                EXPECT_EQ(region.x_min, x_min + 1) << trial;
                EXPECT_EQ(region.x_max, x_max + 1) << trial;
                EXPECT_EQ(region.y_min, y + 1) << trial;
                EXPECT_EQ(region.y_max, y_max + 1) << trial;
                ++regions;
            }
        EXPECT_EQ(regions, static_cast<int>(found.regions.size())) << trial;
        ASSERT_EQ(found.region_of, label) << trial;
    }
}

TEST(WindowedTracing, SameRecordsAsTheWholeImageOnRandomMaps)
{
    std::mt19937 rng(20240611);
    int maps = 0, records_compared = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 24);
        const int height = 1 + static_cast<int>(rng() % 24);
        const int class_count = 1 + static_cast<int>(rng() % 4);
        const Grid<std::uint8_t> classes = random_class_map(rng, width, height, class_count);
        ClassTracer tracer(classes, test_no_class, class_count);
        for (int c = 0; c < class_count; ++c) {
            std::string leftovers;
            const RecordArrays expected = reference_trace_class(classes, c, &leftovers);
            EXPECT_EQ(leftovers, "") << "trial " << trial << " class " << c;
            RecordArrays windowed;
            int blobs = 0;
            tracer.trace_class(c, windowed, [&] { ++blobs; });
            ASSERT_EQ(windowed.part, expected.part) << "trial " << trial << " class " << c;
            ASSERT_EQ(windowed.point, expected.point) << "trial " << trial << " class " << c;
            EXPECT_EQ(static_cast<std::size_t>(blobs), expected.record_count());
            records_compared += static_cast<int>(blobs);

            EXPECT_EQ(even_odd_coverage(windowed, width, height), class_mask(classes, c))
                << "trial " << trial << " class " << c;
        }
        ++maps;
    }
    EXPECT_EQ(maps, 400);
    EXPECT_GT(records_compared, 4000);
}

TEST(WindowedTracing, SameShapefileBytesAsTheWholeImage)
{
    std::mt19937 rng(7);
    testsupport::TempDir dir;
    for (int trial = 0; trial < 40; ++trial) {
        const int width = 2 + static_cast<int>(rng() % 30), height = 2 + static_cast<int>(rng() % 30);
        const Grid<std::uint8_t> classes = random_class_map(rng, width, height, 3);
        ClassTracer tracer(classes, test_no_class, 3);
        for (int c = 0; c < 3; ++c) {
            RecordArrays windowed;
            tracer.trace_class(c, windowed);
            const RecordArrays expected = reference_trace_class(classes, c);
            ASSERT_FALSE(gen_file_shp(shapefile_paths(dir.file("fast")), windowed, width, height, {}));
            ASSERT_FALSE(gen_file_shp(shapefile_paths(dir.file("slow")), expected, width, height, {}));
            for (const char* extension : {".shp", ".shx", ".dbf"})
                ASSERT_EQ(testsupport::read_bytes(dir.file(std::string("fast") + extension)),
                          testsupport::read_bytes(dir.file(std::string("slow") + extension)))
                    << "trial " << trial << " class " << c << extension;
        }
    }
}

// The single-search form (one zone at a time): a window around the zone's
// pixels gives the record of the whole image's first search.
TEST(WindowedTracing, SingleSearchInTheZoneWindow)
{
    std::mt19937 rng(99);
    for (int trial = 0; trial < 300; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 20), height = 1 + static_cast<int>(rng() % 20);
        const Grid<std::uint8_t> classes = random_class_map(rng, width, height, 2);
        int x_min = width + 1, x_max = 0, y_min = height + 1, y_max = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (classes(x, y) == 0) {
                    x_min = std::min(x_min, x + 1);
                    x_max = std::max(x_max, x + 1);
                    y_min = std::min(y_min, y + 1);
                    y_max = std::max(y_max, y + 1);
                }
        WorkWindow window;
        open_work_window(window, x_min, y_min, x_max, y_max, width, height);
        for (int Y = window.first_y(); Y <= window.last_y(); ++Y)
            for (int X = window.first_x(); X <= window.last_x(); ++X)
                if (classes(X - 1, Y - 1) == 0) window.set_pixel(X, Y);
        prepare_work_window(window);
        evidenzia(window.box_blob, window.Immagine4);
        RecordArrays windowed;
        trace_found_blob(window, windowed);
        const RecordArrays expected = reference_trace_first_blob(classes, 0);
        ASSERT_EQ(windowed.part, expected.part) << "trial " << trial;
        ASSERT_EQ(windowed.point, expected.point) << "trial " << trial;
    }
}

TEST(WindowedTracing, WindowIsClippedToTheMask)
{
    WorkWindow window;
    open_work_window(window, 2, 3, 4, 3, 10, 10);
    EXPECT_EQ(window.first_x(), 1);
    EXPECT_EQ(window.last_x(), 6);
    EXPECT_EQ(window.first_y(), 1);
    EXPECT_EQ(window.last_y(), 5);
    EXPECT_EQ(window.Immagine.width(), 8);
    EXPECT_EQ(window.Immagine.height(), 7);
    open_work_window(window, 5, 5, 4, 4, 10, 10);  // empty rectangle
    EXPECT_EQ(window.width, 1);
    EXPECT_EQ(window.height, 1);
}
