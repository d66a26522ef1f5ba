// Polygon rings on the pixel-corner lattice, as the vectoriser traces them:
// integer vertices, horizontal and vertical edges, closed (the last vertex
// repeats the first), only the corners kept.
#pragma once

#include <cstdint>
#include <vector>

struct Corner {
    std::int32_t x = 0, y = 0;  // pixel units, origin at the lower-left corner of the image, y up
    bool operator==(const Corner& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Corner& o) const { return !(*this == o); }
};

using EdgeRing = std::vector<Corner>;

// Column order: by x, then by y. A traced ring starts at its least corner
// in this order (the lowest corner of its leftmost side), and the rings of
// a record follow one another in the order of their first corners.
inline bool column_before(const Corner& a, const Corner& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; }

// Row order: by y, then by x. Records follow one another in the row order
// of the lowest corner of the leftmost pixel of their bottom row.
inline bool row_before(const Corner& a, const Corner& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; }

// The least corner of a ring in row order.
Corner lowest_corner(const EdgeRing& ring);

// A closed walk along pixel edges given by any of its points (repeats and
// points on straight runs allowed, the last point equal to the first), as
// the tracer writes it: only the corners, starting at the least corner in
// column order, in the walk's own direction, closed.
EdgeRing traced_form(const std::vector<Corner>& walk);

// The same ring run the other way round, from the same first corner.
EdgeRing reversed(const EdgeRing& ring);

// Whether the pixel whose lower-left corner is `pixel` lies inside `ring`
// (even-odd, exact in integers).
bool pixel_inside(const EdgeRing& ring, const Corner& pixel);

// Twice the ring's signed area: positive counter-clockwise (y up).
std::int64_t twice_area(const EdgeRing& ring);

// pixel_inside for many pixels against one long ring: its vertical edges
// kept by bands of rows, so that a test reads only the edges of its band.
class RingIndex {
public:
    explicit RingIndex(const EdgeRing& ring);
    bool pixel_inside(const Corner& pixel) const;

private:
    struct Edge {
        std::int32_t x, y_low, y_high;
    };
    static constexpr std::int32_t band_rows = 64;
    std::int32_t first_band_ = 0;
    std::vector<std::vector<Edge>> bands_;
};
