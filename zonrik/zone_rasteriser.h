// The zone of a polygon record: the background pixels that count as inside
// it.
//
// Each ring is drawn with `disegna` on a grid of doubled resolution, where
// pixel (px, py) covers the cells 2px+1..2px+2 by 2py+1..2py+2 and a vertex
// in pixel (px, py) is drawn at cell (2px+1, 2py+1). A flood from outside the
// outline (4-connected, so the 8-connected outline is never crossed) leaves
// unreached the outline and what it encloses; a pixel whose four cells are
// all unreached is marked by the ring. A pixel is in the zone when an odd
// number of the record's rings mark it, whatever their order and
// orientation: holes are cut out, islands inside holes and further outer
// rings count. The pixel holding a vertex counts as inside along the left
// and bottom edges of a polygon and as outside along its right and top
// edges: the rectangle (2.5, 3.5)-(6.5, 7.5) yields the pixels 2 <= px <= 5,
// 3 <= py <= 6, and a polygon with its vertices on pixel corners yields
// exactly the pixels it encloses.
//
// A ring that passes again through one of its vertices is marked loop by
// loop (ring_outlines.h), each loop counting as a ring of its own; a ring that
// never does is marked as a whole.
//
// Vertices outside the record's box are clipped to the box (a NaN
// coordinate goes to the box's low side); a polygon reaching beyond the
// background is drawn only within the frame round it (ring_outlines.h), and
// only the background's pixels are in its zone. A zone therefore lies in the box's
// window floor(Xmin) <= px < floor(Xmax), floor(Ymin) <= py < floor(Ymax)
// within the background. A box whose minimum exceeds its maximum gives an
// empty zone.
//
// Cost: each loop is drawn, flooded and tested in the window of its own
// outline, never on the whole grid.
//
// Plain twin: zonrik/tests/reference_zonrik.cpp:reference_zone.
#pragma once

#include "grid.h"
#include "pixel_record.h"
#include "ring_outlines.h"

#include <cstdint>
#include <vector>

struct ZonePixel {
    int x;  // column from the left
    int y;  // row from the bottom
};

struct Zone {
    // Row by row, y increasing, and within a row x increasing.
    std::vector<ZonePixel> pixels;
    // Rectangle of the pixels (meaningful when there are pixels).
    int x_min = 0, y_min = 0, x_max = -1, y_max = -1;
};

class ZoneRasteriser {
public:
    // The zone of a record on a width x height background; the box must be
    // finite. The result stays valid until the next call.
    const Zone& rasterise(const PixelRecord& record, int width, int height);

private:
    // Draws and floods the outline of one loop of the record and flips the
    // parity of the pixels it marks.
    void mark_loop();

    // Pixel rectangle of the zone's parity grid: the box's window within the
    // background.
    int out_x0 = 0, out_y0 = 0;
    // `Matrice_out` as parities: 1 for a pixel marked by an odd number of
    // loops so far.
    Grid<std::uint8_t> Matrice_out;

    // Doubled-resolution cells of the loop in hand, `Matrice_doppia`: the
    // cells cell_x0 .. and cell_y0 .. of the whole grid, with a frame of
    // `reached` cells all round so that the flood needs no bounds checks.
    Grid<std::uint8_t> Matrice_doppia;
    std::int64_t cell_x0 = 0, cell_y0 = 0;

    LoopCutter cutter;
    LoopOutline outline;
    std::vector<double> loop_xy, clip_scratch;
    std::vector<std::size_t> stack;  // flood seeds (cell indices)
    Zone zone;
};
