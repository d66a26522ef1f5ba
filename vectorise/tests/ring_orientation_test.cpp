// Ring orientation: the nesting sweep against a ring-by-ring containment
// count, and the shapefile writer's rings in both orientations read back from
// the bytes it writes.
#include "class_tracing.h"
#include "reference_vectoriser.h"
#include "ring_orientation.h"
#include "shapefile_writer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testsupport;

namespace {

// Even-odd test of a point against one closed ring.
bool ring_contains(const Ring& ring, double x, double y)
{
    bool inside = false;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        const auto [x0, y0] = ring[i];
        const auto [x1, y1] = ring[i + 1];
        if ((y0 > y) != (y1 > y) && x < x0 + (y - y0) * (x1 - x0) / (y1 - y0)) inside = !inside;
    }
    return inside;
}

// The straightforward count: every other ring tested at the ring's test
// point, the centre of the pixel up-right of its lowest leftmost vertex.
std::vector<std::uint8_t> parities_ring_by_ring(const std::vector<Ring>& rings)
{
    std::vector<std::uint8_t> parities;
    for (std::size_t i = 0; i < rings.size(); ++i) {
        auto corner = rings[i].front();
        for (const auto& v : rings[i])
            if (v.first < corner.first || (v.first == corner.first && v.second < corner.second)) corner = v;
        int around = 0;
        for (std::size_t j = 0; j < rings.size(); ++j)
            if (j != i && ring_contains(rings[j], corner.first + 0.5, corner.second + 0.5)) ++around;
        parities.push_back(static_cast<std::uint8_t>(around & 1));
    }
    return parities;
}

RecordRings record_rings(const RecordArrays& records, const RecordArrays::Layout& layout)
{
    return {records.point.data() + layout.point_index, records.part.data() + layout.part_index + 2, layout.parts,
            layout.points};
}

// The polygon records of a ".shp" file, in pixel units (written without a
// world file), as rings of vertices.
std::vector<std::vector<Ring>> read_polygons(const Bytes& shp)
{
    std::vector<std::vector<Ring>> records;
    std::size_t at = 100;
    while (at < shp.size()) {
        const std::size_t content = at + 8;
        const std::uint32_t parts = le32(shp, content + 36), points = le32(shp, content + 40);
        const std::size_t starts = content + 44, xy = starts + 4 * parts;
        std::vector<Ring> rings;
        for (std::uint32_t p = 0; p < parts; ++p) {
            const std::uint32_t end = p + 1 < parts ? le32(shp, starts + 4 * (p + 1)) : points;
            Ring ring;
            for (std::uint32_t v = le32(shp, starts + 4 * p); v < end; ++v)
                ring.emplace_back(le_double(shp, xy + 16 * v), le_double(shp, xy + 16 * v + 8));
            rings.push_back(ring);
        }
        records.push_back(rings);
        at = content + 2 * static_cast<std::size_t>(be32(shp, at + 4));
    }
    return records;
}

// Winding number of every pixel centre under all rings (y up): +1 inside a
// counter-clockwise ring, -1 inside a clockwise one, summed.
Grid<int> winding_numbers(const std::vector<std::vector<Ring>>& records, int width, int height)
{
    Grid<int> winding(width, height, 0);
    for (const auto& rings : records)
        for (const auto& ring : rings)
            for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
                const auto [x0, y0] = ring[i];
                const auto [x1, y1] = ring[i + 1];
                if (x0 != x1) continue;
                // A downward edge has the inside of a counter-clockwise ring
                // on its right.
                const int turn = y1 < y0 ? 1 : -1;
                for (int y = static_cast<int>(std::min(y0, y1)); y < static_cast<int>(std::max(y0, y1)); ++y)
                    for (int x = static_cast<int>(x0); x < width; ++x) winding(x, y) += turn;
            }
    return winding;
}

Bytes write_shp(const RecordArrays& records, int width, int height, RingOrientation rings)
{
    TempDir dir;
    ShapefileOptions options;
    options.rings = rings;
    EXPECT_FALSE(gen_file_shp(shapefile_paths(dir.file("out")), records, width, height, options));
    return read_bytes(dir.file("out.shp"));
}

// 7 x 7: a 5 x 5 square with a 3 x 3 hole and one pixel in the middle of it.
const std::vector<std::string> square_hole_island = {
    ".......", ".#####.", ".#...#.", ".#.#.#.", ".#...#.", ".#####.", ".......",
};

}  // namespace

TEST(RingOrientation, EnvironmentChoosesEsriOnlyWhenAsked)
{
    unsetenv("SUITE_SHAPEFILE_RINGS");
    EXPECT_EQ(ring_orientation_from_environment(), RingOrientation::traced);
    setenv("SUITE_SHAPEFILE_RINGS", "esri", 1);
    EXPECT_EQ(ring_orientation_from_environment(), RingOrientation::esri);
    setenv("SUITE_SHAPEFILE_RINGS", "ESRI", 1);
    EXPECT_EQ(ring_orientation_from_environment(), RingOrientation::esri);
    setenv("SUITE_SHAPEFILE_RINGS", "traced", 1);
    EXPECT_EQ(ring_orientation_from_environment(), RingOrientation::traced);
    setenv("SUITE_SHAPEFILE_RINGS", "", 1);
    EXPECT_EQ(ring_orientation_from_environment(), RingOrientation::traced);
    unsetenv("SUITE_SHAPEFILE_RINGS");
}

TEST(RingOrientation, HoleAndIslandTurnedRoundOnlyInEsriOrder)
{
    const Grid<std::uint8_t> classes = class_map(square_hole_island);
    RecordArrays records;
    ClassTracer(classes, test_no_class, 1).trace_class(0, records);
    const auto layouts = records.record_layouts();
    ASSERT_EQ(layouts.size(), 1u);
    const RecordRings rings = record_rings(records, layouts[0]);
    ASSERT_EQ(rings.parts, 3);
    EXPECT_EQ(ring_nesting_parities(rings), (std::vector<std::uint8_t>{0, 1, 0}));
    EXPECT_GT(twice_signed_area(rings, 0), 0);  // traced: outer counter-clockwise
    EXPECT_LT(twice_signed_area(rings, 1), 0);  // hole clockwise
    EXPECT_LT(twice_signed_area(rings, 2), 0);  // island clockwise
    EXPECT_EQ(rings_to_reverse(rings, RingOrientation::traced), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(rings_to_reverse(rings, RingOrientation::esri), (std::vector<bool>{true, true, false}));

    // The written file: same length, headers, boxes and part starts; the
    // outer ring and the hole reversed, each keeping its first vertex.
    const Bytes traced = write_shp(records, 7, 7, RingOrientation::traced);
    const Bytes esri = write_shp(records, 7, 7, RingOrientation::esri);
    ASSERT_EQ(esri.size(), traced.size());
    const std::size_t vertices = 100 + 8 + 44 + 4 * 3;
    EXPECT_EQ(Bytes(esri.begin(), esri.begin() + vertices), Bytes(traced.begin(), traced.begin() + vertices));
    const auto t = read_polygons(traced)[0], e = read_polygons(esri)[0];
    EXPECT_EQ(t[0], (Ring{{1, 1}, {6, 1}, {6, 6}, {1, 6}, {1, 1}}));
    EXPECT_EQ(e[0], (Ring{{1, 1}, {1, 6}, {6, 6}, {6, 1}, {1, 1}}));
    EXPECT_EQ(e[1], Ring(t[1].rbegin(), t[1].rend()));
    EXPECT_EQ(e[2], t[2]);
}

TEST(RingOrientation, SingleRingsTurnedByTheirOwnArea)
{
    // A quadrilateral as a segments file gives it, counter-clockwise, and a
    // clockwise one: in esri order only the first is turned round.
    RecordArrays records;
    records.append_record({{{0.5, 0.5}, {3.25, 0.5}, {3.25, 2.75}, {0.5, 2.75}, {0.5, 0.5}}});
    records.append_record({{{0.5, 0.5}, {0.5, 2.75}, {3.25, 2.75}, {3.25, 0.5}, {0.5, 0.5}}});
    records.append_record({});
    const auto layouts = records.record_layouts();
    EXPECT_EQ(rings_to_reverse(record_rings(records, layouts[0]), RingOrientation::esri), std::vector<bool>{true});
    EXPECT_EQ(rings_to_reverse(record_rings(records, layouts[1]), RingOrientation::esri), std::vector<bool>{false});
    EXPECT_TRUE(rings_to_reverse(record_rings(records, layouts[2]), RingOrientation::esri).empty());

    // Polylines are never turned round.
    RecordArrays line;
    line.append_record({{{0, 0}, {4, 0}, {4, 4}, {0, 0}}});
    TempDir dir;
    ShapefileOptions options;
    options.shape_type = shape_type_polyline;
    options.rings = RingOrientation::esri;
    ASSERT_FALSE(gen_file_shp(shapefile_paths(dir.file("line")), line, 5, 5, options));
    const Bytes shp = read_bytes(dir.file("line.shp"));
    EXPECT_EQ(le_double(shp, 100 + 8 + 48 + 16), 4.0);  // second vertex (4, 0) still second
    EXPECT_EQ(le_double(shp, 100 + 8 + 48 + 24), 0.0);
}

// Calls check(classes, k, records) for every class k of `trials` random
// class maps of up to 40 x 40 pixels, with the records traced for it.
template <typename Check>
void for_each_traced_class(unsigned seed, int trials, int class_count, Check check)
{
    std::mt19937 rng(seed);
    for (int trial = 0; trial < trials; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 40), height = 1 + static_cast<int>(rng() % 40);
        const Grid<std::uint8_t> classes = random_class_map(rng, width, height, class_count);
        ClassTracer tracer(classes, test_no_class, class_count);
        for (int k = 0; k < class_count; ++k) {
            RecordArrays records;
            tracer.trace_class(k, records);
            SCOPED_TRACE("trial " + std::to_string(trial) + " class " + std::to_string(k));
            check(classes, k, records);
            if (testing::Test::HasFatalFailure()) return;
        }
    }
}

TEST(RingOrientation, SweepMatchesRingByRingCountOnRandomClassMaps)
{
    int multi_ring_records = 0;
    for_each_traced_class(29, 150, 3, [&](const Grid<std::uint8_t>&, int, const RecordArrays& records) {
        const auto rings = records_as_rings(records);
        const auto layouts = records.record_layouts();
        for (std::size_t r = 0; r < layouts.size(); ++r) {
            if (layouts[r].parts > 1) ++multi_ring_records;
            ASSERT_EQ(ring_nesting_parities(record_rings(records, layouts[r])), parities_ring_by_ring(rings[r]))
                << "record " << r;
        }
    });
    EXPECT_GT(multi_ring_records, 100);
}

TEST(RingOrientation, EsriRingsWindOnceClockwiseRoundEveryPixelOfTheClass)
{
    // Under the nonzero rule that GIS readers apply to clockwise shells and
    // counter-clockwise holes, each colour's polygons cover exactly its
    // pixels: winding -1 on the class, 0 elsewhere. The traced order wraps
    // islands the other way round from their outer rings.
    bool traced_differs = false;
    for_each_traced_class(31, 60, 2, [&](const Grid<std::uint8_t>& classes, int k, const RecordArrays& records) {
        const int width = classes.width(), height = classes.height();
        auto winding = [&](RingOrientation rings) {
            return winding_numbers(read_polygons(write_shp(records, width, height, rings)), width, height);
        };
        const Grid<int> esri = winding(RingOrientation::esri), traced = winding(RingOrientation::traced);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                ASSERT_EQ(esri(x, y), classes(x, y) == k ? -1 : 0) << x << "," << y;
                if (traced(x, y) != (classes(x, y) == k ? 1 : 0)) traced_differs = true;
            }
    });
    EXPECT_TRUE(traced_differs);
}
