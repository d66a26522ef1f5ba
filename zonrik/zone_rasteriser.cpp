#include "zone_rasteriser.h"

#include "disegna.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace {

// Cell values of Matrice_doppia besides the outline's 1 (disegna).
constexpr std::uint8_t empty_cell = 0;
constexpr std::uint8_t reached_cell = 9;

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

// Floor and ceiling of a / 2.
std::int64_t half_down(std::int64_t a) { return a >= 0 ? a / 2 : -((1 - a) / 2); }
std::int64_t half_up(std::int64_t a) { return -half_down(-a); }

}  // namespace

void ZoneRasteriser::mark_loop()
{
    if (outline.x_lo > outline.x_hi || outline.y_lo > outline.y_hi) return;
    // Pixels whose four cells lie within the outline's cells, within the
    // zone's rectangle; any other pixel has a cell the flood reaches.
    const std::int64_t px0 = std::max<std::int64_t>(half_up(outline.x_lo - 1), out_x0);
    const std::int64_t px1 = std::min<std::int64_t>(half_down(outline.x_hi - 2), out_x0 + Matrice_out.width() - 1);
    const std::int64_t py0 = std::max<std::int64_t>(half_up(outline.y_lo - 1), out_y0);
    const std::int64_t py1 = std::min<std::int64_t>(half_down(outline.y_hi - 2), out_y0 + Matrice_out.height() - 1);
    if (px0 > px1 || py0 > py1) return;

    // The outline's cells, a ring of empty cells round them where the flood
    // starts, and the frame.
    cell_x0 = outline.x_lo - 2;
    cell_y0 = outline.y_lo - 2;
    const std::int64_t cells_wide = outline.x_hi - outline.x_lo + 5, cells_high = outline.y_hi - outline.y_lo + 5;
    if (cells_wide > std::numeric_limits<int>::max() || cells_high > std::numeric_limits<int>::max())
        throw std::bad_alloc();
    Matrice_doppia.resize(static_cast<int>(cells_wide), static_cast<int>(cells_high), empty_cell);
    const int w = Matrice_doppia.width(), h = Matrice_doppia.height();

    // Cells relative to the grid; far vertices of a cut-off loop are drawn
    // from beyond the grid, which keeps only its own cells.
    auto local = [](std::int64_t cell, std::int64_t origin) {
        const std::int64_t v = cell - origin;
        if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) throw std::bad_alloc();
        return static_cast<int>(v);
    };
    const std::vector<std::int64_t>& v = outline.vertices;
    for (std::size_t j = 0; j + 3 < v.size(); j += 2)
        disegna(local(v[j], cell_x0), local(v[j + 1], cell_y0), local(v[j + 2], cell_x0), local(v[j + 3], cell_y0),
                Matrice_doppia);
    if (outline.cut_off) {
        // What the lines drew beyond the frame's cells falls in the two rings
        // round the outline's rectangle.
        for (int y : {0, 1, h - 2, h - 1}) std::fill(Matrice_doppia.row(y), Matrice_doppia.row(y) + w, empty_cell);
        for (int y = 0; y < h; ++y)
            for (int x : {0, 1, w - 2, w - 1}) Matrice_doppia(x, y) = empty_cell;
        const std::vector<std::int64_t>& r = outline.runs;
        for (std::size_t j = 0; j + 3 < r.size(); j += 4)
            disegna(local(r[j], cell_x0), local(r[j + 1], cell_y0), local(r[j + 2], cell_x0), local(r[j + 3], cell_y0),
                    Matrice_doppia);
    }
    std::fill(Matrice_doppia.row(0), Matrice_doppia.row(0) + w, reached_cell);
    std::fill(Matrice_doppia.row(h - 1), Matrice_doppia.row(h - 1) + w, reached_cell);
    for (int y = 0; y < h; ++y) Matrice_doppia(0, y) = Matrice_doppia(w - 1, y) = reached_cell;
    flood(Matrice_doppia, 1, 1, stack);

    // A pixel is marked when none of its four cells was reached.
    const int first_x = static_cast<int>(2 * px0 + 1 - cell_x0);
    const int count = static_cast<int>(px1 - px0 + 1);
    for (std::int64_t py = py0; py <= py1; ++py) {
        const int y = static_cast<int>(2 * py + 1 - cell_y0);
        const std::uint8_t* lower = Matrice_doppia.row(y) + first_x;
        const std::uint8_t* upper = Matrice_doppia.row(y + 1) + first_x;
        std::uint8_t* parity = Matrice_out.row(static_cast<int>(py - out_y0)) + (px0 - out_x0);
        for (int i = 0; i < count; ++i) {
            const int x = 2 * i;
            parity[i] ^= static_cast<std::uint8_t>((lower[x] != reached_cell) & (lower[x + 1] != reached_cell) &
                                                   (upper[x] != reached_cell) & (upper[x + 1] != reached_cell));
        }
    }
}

const Zone& ZoneRasteriser::rasterise(const PixelRecord& record, int width, int height)
{
    zone.pixels.clear();
    zone.x_min = zone.y_min = 0;
    zone.x_max = zone.y_max = -1;
    const auto& box = record.box;
    if (!(box[0] <= box[2] && box[1] <= box[3])) return zone;

    // The box's window within the background: every loop's marks fall in it.
    const double x_lo = std::floor(std::clamp(box[0], -1.0, width + 1.0));
    const double x_hi = std::floor(std::clamp(box[2], -1.0, width + 1.0));
    const double y_lo = std::floor(std::clamp(box[1], -1.0, height + 1.0));
    const double y_hi = std::floor(std::clamp(box[3], -1.0, height + 1.0));
    out_x0 = static_cast<int>(std::max(x_lo, 0.0));
    out_y0 = static_cast<int>(std::max(y_lo, 0.0));
    const int out_x1 = static_cast<int>(std::min(x_hi - 1, static_cast<double>(width) - 1));
    const int out_y1 = static_cast<int>(std::min(y_hi - 1, static_cast<double>(height) - 1));
    if (out_x0 > out_x1 || out_y0 > out_y1) return zone;
    Matrice_out.resize(out_x1 - out_x0 + 1, out_y1 - out_y0 + 1, 0);

    const std::int32_t numparts = static_cast<std::int32_t>(record.parts.size());
    const std::int32_t numpoints = record.numpoints();
    for (std::int32_t i = 0; i < numparts; ++i) {
        const std::int32_t first = record.parts[i];
        const std::int32_t end = i + 1 < numparts ? record.parts[i + 1] : numpoints;
        // A part of fewer than two vertices draws no segment and encloses nothing.
        if (end - first < 2) continue;
        cutter.cut(record.points.data() + 2 * static_cast<std::size_t>(first), end - first);
        for (const RingLoop& loop : cutter.loops()) {
            loop_xy.clear();
            for (std::size_t k = loop.first; k < loop.first + loop.count; ++k) {
                const std::size_t v = static_cast<std::size_t>(first + cutter.vertices()[k]);
                loop_xy.push_back(clip(record.points[2 * v], box[0], box[2]));
                loop_xy.push_back(clip(record.points[2 * v + 1], box[1], box[3]));
            }
            outline_loop(loop_xy, loop.closed, width, height, outline, clip_scratch);
            mark_loop();
        }
    }

    for (int y = 0; y < Matrice_out.height(); ++y) {
        const std::uint8_t* row = Matrice_out.row(y);
        for (int x = 0; x < Matrice_out.width(); ++x)
            if (row[x]) zone.pixels.push_back({out_x0 + x, out_y0 + y});
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
