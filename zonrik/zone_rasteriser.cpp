#include "zone_rasteriser.h"

#include "disegna.h"

#include <algorithm>

namespace {

// Cell values of Matrice_doppia besides the outline's 1 (disegna).
constexpr std::uint8_t empty_cell = 0;
constexpr std::uint8_t reached_cell = 9;

constexpr std::int16_t in_zone = -2;
constexpr std::int16_t not_in_zone = -1;

// A coordinate clipped to lo..hi (lo <= hi); NaN goes to lo.
double clip(double value, double lo, double hi)
{
    if (!(value >= lo)) return lo;
    return value > hi ? hi : value;
}

// Every empty cell 4-connected to `seed` becomes reached: span by span, each
// row run filled at once and the runs beside it in the rows above and below
// queued by their first cell. The grid's frame must hold no empty cell.
void flood(Grid<std::uint8_t>& cells, int seed_x, int seed_y, std::vector<std::size_t>& stack)
{
    const std::size_t w = static_cast<std::size_t>(cells.width());
    std::uint8_t* base = cells.cells().data();
    stack.clear();
    stack.push_back(static_cast<std::size_t>(seed_y) * w + static_cast<std::size_t>(seed_x));
    while (!stack.empty()) {
        const std::size_t at = stack.back();
        stack.pop_back();
        if (base[at] != empty_cell) continue;
        std::size_t left = at, right = at;
        while (base[left - 1] == empty_cell) --left;
        while (base[right + 1] == empty_cell) ++right;
        std::fill(base + left, base + right + 1, reached_cell);
        for (const std::size_t row_start : {left - w, left + w}) {
            bool in_run = false;
            for (std::size_t i = row_start; i <= row_start + (right - left); ++i) {
                const bool open = base[i] == empty_cell;
                if (open && !in_run) stack.push_back(i);
                in_run = open;
            }
        }
    }
}

}  // namespace

bool ZoneRasteriser::outline_part(const PixelRecord& record, std::int32_t first, std::int32_t end)
{
    const auto& box = record.box;
    const std::int32_t count = end - first;
    cell_x.resize(static_cast<std::size_t>(count));
    cell_y.resize(static_cast<std::size_t>(count));
    int x_lo = 0, x_hi = 0, y_lo = 0, y_hi = 0;
    for (std::int32_t j = 0; j < count; ++j) {
        const double x = clip(record.points[2 * static_cast<std::size_t>(first + j)], box[0], box[2]);
        const double y = clip(record.points[2 * static_cast<std::size_t>(first + j) + 1], box[1], box[3]);
        cell_x[j] = 2 * static_cast<int>(x) + 1;
        cell_y[j] = 2 * static_cast<int>(y) + 1;
        if (j == 0 || cell_x[j] < x_lo) x_lo = cell_x[j];
        if (j == 0 || cell_x[j] > x_hi) x_hi = cell_x[j];
        if (j == 0 || cell_y[j] < y_lo) y_lo = cell_y[j];
        if (j == 0 || cell_y[j] > y_hi) y_hi = cell_y[j];
    }
    // Pixels whose four cells lie within the outline's cells; any other pixel
    // has a cell the flood reaches.
    part_x0 = (x_lo - 1) / 2;
    part_x1 = (x_hi - 1) / 2 - 1;
    part_y0 = (y_lo - 1) / 2;
    part_y1 = (y_hi - 1) / 2 - 1;
    if (part_x0 > part_x1 || part_y0 > part_y1) return false;
    // A later part that misses the first part's pixels cuts nothing out.
    if (first_part_drawn && (part_x1 < out_x0 || part_x0 >= out_x0 + Matrice_out.width() ||
                                 part_y1 < out_y0 || part_y0 >= out_y0 + Matrice_out.height()))
        return false;

    // The outline's cells, a ring of empty cells round them where the flood
    // starts, and the frame.
    cell_x0 = x_lo - 2;
    cell_y0 = y_lo - 2;
    Matrice_doppia.resize(x_hi - x_lo + 5, y_hi - y_lo + 5, empty_cell);
    const int w = Matrice_doppia.width(), h = Matrice_doppia.height();
    std::fill(Matrice_doppia.row(0), Matrice_doppia.row(0) + w, reached_cell);
    std::fill(Matrice_doppia.row(h - 1), Matrice_doppia.row(h - 1) + w, reached_cell);
    for (int y = 0; y < h; ++y) Matrice_doppia(0, y) = Matrice_doppia(w - 1, y) = reached_cell;

    for (std::int32_t j = 0; j + 1 < count; ++j)
        disegna(cell_x[j] - cell_x0, cell_y[j] - cell_y0, cell_x[j + 1] - cell_x0, cell_y[j + 1] - cell_y0,
                Matrice_doppia);
    flood(Matrice_doppia, 1, 1, stack);
    return true;
}

bool ZoneRasteriser::pixel_enclosed(int px, int py) const
{
    const int x = 2 * px + 1 - cell_x0;
    const int y = 2 * py + 1 - cell_y0;
    return Matrice_doppia(x, y) != reached_cell && Matrice_doppia(x + 1, y) != reached_cell &&
           Matrice_doppia(x, y + 1) != reached_cell && Matrice_doppia(x + 1, y + 1) != reached_cell;
}

const Zone& ZoneRasteriser::rasterise(const PixelRecord& record)
{
    zone.pixels.clear();
    zone.x_min = zone.y_min = 0;
    zone.x_max = zone.y_max = -1;
    if (record.box[0] > record.box[2] || record.box[1] > record.box[3]) return zone;

    const std::int32_t numparts = static_cast<std::int32_t>(record.parts.size());
    if (numparts == 0) return zone;
    first_part_drawn = false;
    const std::int32_t numpoints = record.numpoints();
    for (std::int32_t i = 0; i < numparts; ++i) {
        const std::int32_t first = record.parts[i];
        const std::int32_t end = i + 1 < numparts ? record.parts[i + 1] : numpoints;
        // A part of fewer than two vertices draws no segment and encloses nothing.
        const bool encloses = end - first >= 2 && outline_part(record, first, end);
        if (i == 0) {
            if (!encloses) return zone;
            out_x0 = part_x0;
            out_y0 = part_y0;
            Matrice_out.resize(part_x1 - part_x0 + 1, part_y1 - part_y0 + 1, not_in_zone);
            first_part_drawn = true;
        }
        if (!encloses) continue;
        const std::int16_t mark = i == 0 ? in_zone : not_in_zone;
        const int x0 = std::max(part_x0, out_x0), x1 = std::min(part_x1, out_x0 + Matrice_out.width() - 1);
        const int y0 = std::max(part_y0, out_y0), y1 = std::min(part_y1, out_y0 + Matrice_out.height() - 1);
        for (int py = y0; py <= y1; ++py)
            for (int px = x0; px <= x1; ++px)
                if (pixel_enclosed(px, py)) Matrice_out(px - out_x0, py - out_y0) = mark;
    }

    for (int y = 0; y < Matrice_out.height(); ++y) {
        const std::int16_t* row = Matrice_out.row(y);
        for (int x = 0; x < Matrice_out.width(); ++x)
            if (row[x] == in_zone) zone.pixels.push_back({out_x0 + x, out_y0 + y});
    }
    if (zone.pixels.empty()) return zone;
    zone.x_min = zone.x_max = zone.pixels.front().x;
    for (const ZonePixel& p : zone.pixels) {
        zone.x_min = std::min(zone.x_min, p.x);
        zone.x_max = std::max(zone.x_max, p.x);
    }
    zone.y_min = zone.pixels.front().y;
    zone.y_max = zone.pixels.back().y;
    return zone;
}
