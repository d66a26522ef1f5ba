// The zone of a polygon record: the background pixels that count as inside
// it.
//
// Each part (ring) is drawn with `disegna` on a grid of doubled resolution,
// where pixel (px, py) covers the cells 2px+1..2px+2 by 2py+1..2py+2 and a
// vertex in pixel (px, py) is drawn at cell (2px+1, 2py+1). A flood from
// outside the outline (4-connected, so the 8-connected outline is never
// crossed) leaves unreached the outline and what it encloses; a pixel whose
// four cells are all unreached is inside the ring. The first part defines
// the zone and every later part cuts its inside out of it, whatever the
// rings' orientation. So the pixel holding a vertex counts as inside along
// the left and bottom edges of a polygon and as outside along its right and
// top edges: the rectangle (2.5, 3.5)-(6.5, 7.5) yields the pixels
// 2 <= px <= 5, 3 <= py <= 6.
//
// Vertices outside the record's box are clipped to the box (a NaN
// coordinate goes to the box's low side), so a zone always lies in the
// box's window t(Xmin) <= px < t(Xmax), t(Ymin) <= py < t(Ymax) (t:
// truncation). A box whose minimum exceeds its maximum gives an empty zone.
//
// Cost: each part is drawn, flooded and tested in the window of its own
// outline, never on the whole grid; nothing is cleared beyond that window.
//
// Plain twin: zonrik/tests/reference_zonrik.cpp:reference_zone.
#pragma once

#include "grid.h"
#include "pixel_record.h"

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
    // The zone of a record that the skip rule let through (finite box inside
    // the background). The result stays valid until the next call.
    const Zone& rasterise(const PixelRecord& record);

private:
    // Draws and floods one part; returns false when it encloses no pixel (of
    // the first part's rectangle, for a later part). Its pixel rectangle is
    // left in part_x0 .. part_y1.
    bool outline_part(const PixelRecord& record, std::int32_t first, std::int32_t end);
    bool pixel_enclosed(int px, int py) const;

    // Doubled-resolution cells of the part in hand, `Matrice_doppia`: the
    // cells cell_x0-2 .. and cell_y0-2 .. of the whole grid, with a frame of
    // `reached` cells all round so that the flood needs no bounds checks.
    Grid<std::uint8_t> Matrice_doppia;
    int cell_x0 = 0, cell_y0 = 0;
    // Pixel rectangle of the part in hand.
    int part_x0 = 0, part_y0 = 0, part_x1 = -1, part_y1 = -1;

    // `Matrice_out` over the first part's pixel rectangle: -2 in the zone,
    // -1 not.
    Grid<std::int16_t> Matrice_out;
    int out_x0 = 0, out_y0 = 0;
    bool first_part_drawn = false;

    std::vector<int> cell_x, cell_y;  // drawn cell of each vertex of the part
    std::vector<std::size_t> stack;  // flood seeds (cell indices)
    Zone zone;
};
