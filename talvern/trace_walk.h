// Digital segments and the walks along them: the trace lines cross the
// building and its shadow pixel by pixel.
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

// Walks over the doubled image `Immagine` the segment from (offset + x1*scale,
// offset + y1*scale) to (offset + x2*scale, offset + y2*scale) and stops at the
// first cell equal to `colore_x`: coord[0..1] is that cell and coord[2..3] the
// cell before it on the walk (the cell itself when it is the first), each
// minus offset and halved (pixel coordinates). coord[0..1] is -2 when the
// walk leaves the image first, -1 when it ends without a hit.
void scan_tracce(const Grid<std::uint8_t>& Immagine, int x1, int y1, int x2, int y2, int colore_x, int scale,
                 int offset, std::array<int, 4>& coord);

// The pixel at distance l from (a, b) in the direction alfa (degrees, from
// +x towards +y), each coordinate rounded to the nearest integer (an exact
// half downwards). Coordinates beyond the int range are clamped to it.
void estremi_alfa(int a, int b, float alfa, int l, std::array<int, 4>& coord);

// Length of the segment v[0], v[1] to v[2], v[3].
float MOD_distanza(const std::array<float, 4>& v);

// MOD_distanza between two pixels.
float pixel_distance(int x1, int y1, int x2, int y2);
