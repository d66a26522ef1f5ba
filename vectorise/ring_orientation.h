// Ring orientation of the polygon records written to shapefiles.
//
// The vectoriser traces each blob's outer ring counter-clockwise and its
// holes, and the islands inside them, clockwise (y up). The suite's own
// readers and stored files rely on that order, so it is what the shapefile
// writer writes by default. The published shapefile layout wants outer rings
// (islands included) clockwise and holes counter-clockwise; GIS readers that
// build polygons from ring orientation read the traced order as nested
// shells and fill the holes. With SUITE_SHAPEFILE_RINGS=esri in the
// environment the writer turns rings round to that layout instead.
//
// Plain twin of the nesting sweep: vectorise/tests/ring_orientation_test.cpp:
// parities_ring_by_ring.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class RingOrientation {
    traced,  // outer rings counter-clockwise, holes and islands clockwise
    esri,    // outer rings and islands clockwise, holes counter-clockwise
};

// `esri` when the environment variable SUITE_SHAPEFILE_RINGS is "esri"
// (in any letter case), else `traced`.
RingOrientation ring_orientation_from_environment();

// The rings of one polygon record: `xy` holds the record's `points`
// vertices as x, y pairs, `starts` the `parts` ring start indices (as in
// record_arrays.h). Each ring is closed (last vertex equal to the first).
struct RecordRings {
    const double* xy;
    const std::int32_t* starts;
    std::int32_t parts;
    std::int32_t points;

    std::size_t ring_begin(std::int32_t p) const { return static_cast<std::size_t>(starts[p]); }
    std::size_t ring_end(std::int32_t p) const
    {
        return static_cast<std::size_t>(p + 1 < parts ? starts[p + 1] : points);
    }
};

// Twice the signed area of ring p (shoelace): positive when it runs
// counter-clockwise with y up, negative when clockwise, 0 when it encloses
// nothing.
double twice_signed_area(const RecordRings& rings, std::int32_t p);

// For each ring, the parity of the number of the record's other rings that
// contain it: 0 for an outer ring or an island, 1 for a hole.
//
// The rings must be as the vectoriser traces them: vertices on pixel
// corners (whole numbers), horizontal and vertical edges, rings that touch
// one another at most at corners and never cross. A ring's test point is
// then the centre of the pixel up and to the right of its lowest vertex on
// its leftmost side: strictly inside the ring and on no edge. The other
// rings around it are counted, by even-odd crossings, with one sweep of a
// horizontal line over the rows of the test points: cost
// O((edges + rings) log edges).
std::vector<std::uint8_t> ring_nesting_parities(const RecordRings& rings);

// Which rings of a polygon record are to be written in reverse vertex order
// for the orientation asked: none for `traced`; for `esri`, the rings whose
// turning disagrees with their nesting (clockwise wanted at even parity,
// counter-clockwise at odd). A record of one ring needs no nesting test;
// rings that enclose no area are left as they are.
std::vector<bool> rings_to_reverse(const RecordRings& rings, RingOrientation orientation);
