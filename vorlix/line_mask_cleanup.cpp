#include "line_mask_cleanup.h"

#include "neighbours.h"

#include <vector>

namespace {

// The ring of a pixel clockwise from the top left: TL, T, TR, R, BR, B, BL, L.
constexpr NeighbourStep ring[8] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
enum RingPosition { TL, T, TR, R, BR, B, BL, L };

// Bit i set when ring position i is a line pixel.
unsigned ring_lines(const Grid<std::uint8_t>& mask, int x, int y)
{
    unsigned bits = 0;
    for (int i = 0; i < 8; ++i)
        if (mask(x + ring[i].dx, y + ring[i].dy) == 0) bits |= 1u << i;
    return bits;
}

constexpr unsigned run(std::initializer_list<int> positions)
{
    unsigned bits = 0;
    for (int p : positions) bits |= 1u << p;
    return bits;
}

bool all_set(unsigned bits, unsigned wanted)
{
    return (bits & wanted) == wanted;
}

// Length of the background run from (x, y) in steps of (sx, sy), the way the
// notch rule measures it: 1 plus the non-line pixels passed before a line
// pixel or the image edge. Only whether it is below 3 matters, so the walk
// stops there.
int background_run(const Grid<std::uint8_t>& mask, int x, int y, int sx, int sy)
{
    int a = 1;
    while (a < 3) {
        const int xx = x + a * sx;
        const int yy = y + a * sy;
        if (mask(xx, yy) == 0) break;
        if ((sx > 0 && xx == mask.width() - 1) || (sx < 0 && xx == 0) || (sy > 0 && yy == mask.height() - 1) ||
            (sy < 0 && yy == 0))
            break;
        ++a;
    }
    return a;
}

bool fills_narrow_notch(const Grid<std::uint8_t>& finale, int x, int y)
{
    const unsigned bits = ring_lines(finale, x, y);
    const bool heavy = all_set(bits, run({TL, T, TR, R})) || all_set(bits, run({R, BR, B, BL})) ||
                       all_set(bits, run({BR, B, BL, L})) || all_set(bits, run({L, TL, T, TR}));
    const bool light = all_set(bits, run({T, TR, R, BR})) || all_set(bits, run({TR, R, BR, B})) ||
                       all_set(bits, run({B, BL, L, TL})) || all_set(bits, run({BL, L, TL, T}));
    if (heavy && background_run(finale, x, y, 1, 0) + background_run(finale, x, y, -1, 0) <= 3) return true;
    if (light && background_run(finale, x, y, 0, 1) + background_run(finale, x, y, 0, -1) <= 3) return true;
    return false;
}

bool fills_half_ring(const Grid<std::uint8_t>& finale, int x, int y)
{
    const unsigned bits = ring_lines(finale, x, y);
    return all_set(bits, run({L, TL, T, TR, R})) || all_set(bits, run({T, TR, R, BR, B})) ||
           all_set(bits, run({R, BR, B, BL, L})) || all_set(bits, run({B, BL, L, TL, T}));
}

}  // namespace

void fill_narrow_notches(Grid<std::uint8_t>& immagine)
{
    Grid<std::uint8_t> finale = immagine;
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = 1; y < immagine.height() - 1; ++y)
            for (int x = 1; x < immagine.width() - 1; ++x)
                if (finale(x, y) == 255 && fills_narrow_notch(finale, x, y)) immagine(x, y) = 0;
        finale = immagine;
    }
}

void fill_half_ring_notches(Grid<std::uint8_t>& immagine, VisitMarks& marks)
{
    std::vector<Point> changed;
    for (int y = 1; y < immagine.height() - 1; ++y)
        for (int x = 1; x < immagine.width() - 1; ++x)
            if (immagine(x, y) == 255 && fills_half_ring(immagine, x, y)) changed.push_back({x, y});
    std::vector<Point> candidates;
    while (!changed.empty()) {
        for (const Point& p : changed) immagine(p.x, p.y) = 0;
        const std::uint32_t mark = marks.fresh();
        candidates.clear();
        for (const Point& p : changed) {
            for (const NeighbourStep& s : neighbour_order) {
                const int x = p.x + s.dx;
                const int y = p.y + s.dy;
                if (!is_inner(immagine, x, y) || immagine(x, y) != 255 || marks(x, y) == mark) continue;
                marks(x, y) = mark;
                candidates.push_back({x, y});
            }
        }
        changed.clear();
        for (const Point& p : candidates)
            if (fills_half_ring(immagine, p.x, p.y)) changed.push_back(p);
    }
}

void fill_small_holes(Grid<std::uint8_t>& immagine, VisitMarks& marks)
{
    // A growth through background from an inner seed stops as soon as it
    // takes a pixel of the outermost rows or columns, or passes 20 pixels;
    // otherwise it has listed the seed's whole inner background component.
    // So each component is decided once, and filling one changes no other.
    const int width = immagine.width();
    const int height = immagine.height();
    if (width < 3 || height < 3) return;
    marks.ensure_room(static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) + 2);
    const std::uint32_t base = marks.fresh();  // components of this pass are marked above it
    std::vector<Point> region;
    for (int y = 1; y < immagine.height() - 1; ++y) {
        for (int x = 1; x < immagine.width() - 1; ++x) {
            if (immagine(x, y) == 0 || marks(x, y) > base) continue;
            const std::uint32_t mark = marks.fresh();
            region.assign(1, Point{x, y});
            marks(x, y) = mark;
            bool reaches_edge = false;
            for (std::size_t i = 0; i < region.size(); ++i) {
                const Point p = region[i];
                for (const NeighbourStep& s : neighbour_order) {
                    const int nx = p.x + s.dx;
                    const int ny = p.y + s.dy;
                    if (immagine(nx, ny) == 0 || marks(nx, ny) == mark) continue;
                    if (!is_inner(immagine, nx, ny)) {
                        reaches_edge = true;
                        continue;
                    }
                    marks(nx, ny) = mark;
                    region.push_back({nx, ny});
                }
            }
            if (!reaches_edge && region.size() <= 20)
                for (const Point& p : region) immagine(p.x, p.y) = 0;
        }
    }
}

void clean_line_mask(Grid<std::uint8_t>& immagine, VisitMarks& marks)
{
    fill_narrow_notches(immagine);
    fill_half_ring_notches(immagine, marks);
    fill_small_holes(immagine, marks);
}
