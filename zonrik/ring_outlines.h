// The outlines the zone rasteriser draws for one ring of a polygon record.
//
// A ring that passes again through one of its vertices (rings of 8-connected
// blobs touch themselves at the corner where two pixels meet diagonally) is
// cut there into loops, each drawn and flooded on its own: drawn as one
// outline, the part of the ring's outside that lies behind such a vertex
// would be shut off from the flood and taken for inside. A ring that never
// comes back to a vertex is one loop, the ring itself.
//
// A loop reaching beyond the frame round the background (one pixel wider
// than the background on every side) is drawn only within the frame: its
// segments as they are, cut off at the frame's edge, and closed along that
// edge where the loop runs outside. Within the frame its cells are those of
// the whole loop, so the background's pixels get the marks that the whole
// loop would give them, whatever lies far outside.
#pragma once

#include <cstdint>
#include <vector>

struct RingLoop {
    std::size_t first = 0;  // its vertex indices are LoopCutter::vertices()[first .. first+count-1]
    std::size_t count = 0;
    bool closed = true;  // ends on the vertex it starts from; the rest of an unclosed ring does not
};

class LoopCutter {
public:
    // Cuts the ring of `count` vertices held as x, y pairs at `xy`. Walking
    // the ring, a vertex at the same point (x and y equal) as a vertex still
    // on the walked path closes the loop from that vertex to this one, which
    // leaves the path. Loops of fewer than four vertices (a vertex repeated,
    // a spike out and back) enclose nothing and are left out; what remains of
    // a ring that does not end on its first vertex is kept as an unclosed
    // loop (drawn without a closing segment, as the ring would be).
    void cut(const double* xy, std::int32_t count);

    const std::vector<RingLoop>& loops() const { return loops_; }
    const std::vector<std::int32_t>& vertices() const { return vertices_; }

private:
    std::vector<RingLoop> loops_;
    std::vector<std::int32_t> vertices_;
    std::vector<std::int32_t> by_point_;    // vertex indices sorted by point
    std::vector<std::int32_t> same_as_;     // first vertex at the same point
    std::vector<std::int32_t> path_;        // the walked path
    std::vector<std::int32_t> path_place_;  // place on the path of a point (by its first vertex), -1 when off it
};

// What is drawn of one loop on the doubled grid of a background, in cells of
// that grid (the vertex in pixel (px, py) is cell (2px+1, 2py+1)).
struct LoopOutline {
    // Cells of the vertices as x, y pairs; the segment between each vertex
    // and the next is drawn with `disegna`.
    std::vector<std::int64_t> vertices;
    // Straight runs along the frame's edges that close a loop cut off at
    // the frame: x1, y1, x2, y2 each.
    std::vector<std::int64_t> runs;
    // The loop reaches beyond the frame: only the cells of its segments
    // within the frame's cells are drawn, before the runs.
    bool cut_off = false;
    // A cell rectangle holding everything drawn within the frame (empty
    // when x_lo > x_hi).
    std::int64_t x_lo = 0, y_lo = 0, x_hi = -1, y_hi = -1;
};

// Cells of the frame round a width x height background: from pixel -1 to
// pixel width + 1 (x) and height + 1 (y), vertex cells included.
struct CellFrame {
    std::int64_t x_lo, y_lo, x_hi, y_hi;
};
CellFrame cell_frame(int width, int height);

// The outline of a loop whose vertices (x, y pairs in pixel units, finite)
// are `xy`, on a width x height background. `xy` and `scratch` are used as
// work space.
void outline_loop(std::vector<double>& xy, bool closed, int width, int height, LoopOutline& outline,
                  std::vector<double>& scratch);
