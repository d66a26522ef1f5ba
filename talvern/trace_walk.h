// Digital segments and the walks along them: the trace lines cross the
// building and its shadow pixel by pixel.
//
// Plain twins: talvern/tests/trace_walk_test.cpp:reference_segment (the drawing step
// by step) and reference_scan (the walk over the drawn list).
#pragma once

#include "grid.h"

#include <array>
#include <cstdint>
#include <vector>

struct Point {
    int x = 0;
    int y = 0;
};

using PointList = std::vector<Point>;

// Replaces `vettore` by the digital segment from (x1, y1) to (x2, y2), in that
// order. The segment is drawn from its lower end (smaller y) upwards, the
// error term starting at a quarter of the long side; a step is diagonal
// when the error reaches the long side. A point is kept only when its
// short-axis coordinate is inside the bounds (x in 0..width-1 for a steep
// segment, y in 0..height-1 otherwise); the long axis is not checked.
void disegna_segmenti_vettore(PointList& vettore, int x1, int y1, int x2, int y2, int width, int height);

// The points of disegna_segmenti_vettore in order, one at a time, without
// the list: a walk can stop early, and its ends may lie anywhere (64-bit
// coordinates). A segment drawn from its upper end is walked backwards from
// the drawing's last point, undoing its steps.
class SegmentWalk {
public:
    SegmentWalk(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);

    // The point in hand, until the walk is done.
    std::int64_t x() const { return x_; }
    std::int64_t y() const { return y_; }
    bool done() const { return remaining_ < 0; }
    void next();

    // Whether the point in hand is inside the bounds on its short axis, that
    // is whether disegna_segmenti_vettore keeps it.
    bool kept(std::int64_t width, std::int64_t height) const
    {
        return steep_ ? (x_ >= 0 && x_ < width) : (y_ >= 0 && y_ < height);
    }

private:
    std::int64_t x_, y_;
    std::int64_t sign_x_;      // x step of the drawing: +1 or -1
    std::int64_t long_side_, short_side_;
    std::int64_t salto_;       // the drawing's error term at the point in hand
    std::int64_t remaining_;   // points after the one in hand
    bool steep_;               // |dx| < |dy|: y is the long axis
    bool reversed_;            // walked from the drawing's last point back
};

// What a walk along a trace line met (`coord` of `scan_tracce`), in pixels.
struct TraceHit {
    // The walk's outcome when it met nothing, in place of a pixel.
    static constexpr int not_met = -1;     // the walk ended without meeting the value
    static constexpr int left_image = -2;  // the walk left the image first

    Point pixel{not_met, not_met};  // coord[0], coord[1]: the pixel met, or an outcome above
    Point pixel_before;             // coord[2], coord[3]: the pixel before it on the walk (itself when first)

    bool met() const { return pixel.x >= 0 && pixel.y >= 0; }
};

// Where pixel p of a trace line lies in the image walked: cell
// offset + p * scale on each axis.
struct CellPlacement {
    int scale = 1;
    int offset = 0;
};

// A pixel's lower-left edge cell in a doubled image: (2x+1, 2y+1).
constexpr CellPlacement doubled_cells{2, 1};

// Walks over the image `Immagine` the segment from `from` to `to`, both
// placed on its cells by `placement`, and stops at the first cell equal to
// `colore_x`: the hit's pixel is that cell and pixel_before the cell before
// it on the walk (the cell itself when it is the first), each minus the
// offset and halved. The pixel holds TraceHit::left_image when the walk
// leaves the image first, TraceHit::not_met when it ends without a hit.
TraceHit scan_tracce(const Grid<std::uint8_t>& Immagine, Point from, Point to, int colore_x,
                     CellPlacement placement = doubled_cells);

// The pixel at distance l from `from` in the direction alfa (degrees, from
// +x towards +y), each coordinate rounded to the nearest integer (an exact
// half downwards). Coordinates beyond the int range are clamped to it.
//
// The sum is rounded to single precision where the point lies, so its last
// bits depend on the point's distance from the image's origin: when the
// image is a window of a larger mosaic, `origin` (the window's lower-left
// pixel in the mosaic) makes the sum the mosaic's, and the result is given
// back in the window's pixels.
Point estremi_alfa(Point from, float alfa, int l, Point origin = {});

// Length of the segment v[0], v[1] to v[2], v[3].
float MOD_distanza(const std::array<float, 4>& v);

// MOD_distanza between two pixels.
float pixel_distance(int x1, int y1, int x2, int y2);
