#include "blob_passes.h"

#include <algorithm>

namespace {

// The pixels a small-blob growth from an inner seed reaches: its inner
// component and the candidate border pixels next to it.
struct Reach {
    std::vector<Point> inner;
    std::vector<Point> border;

    long long size() const { return static_cast<long long>(inner.size() + border.size()); }
};

void explore(const Grid<std::uint8_t>& comb, Point seed, std::uint32_t mark, VisitMarks& marks, Reach& reach)
{
    reach.inner.assign(1, seed);
    reach.border.clear();
    marks(seed.x, seed.y) = mark;
    for (std::size_t i = 0; i < reach.inner.size(); ++i) {
        const Point p = reach.inner[i];
        for (const NeighbourStep& s : neighbour_order) {
            const int x = p.x + s.dx;
            const int y = p.y + s.dy;
            if (comb(x, y) == 255 || marks(x, y) == mark) continue;
            marks(x, y) = mark;
            (is_inner(comb, x, y) ? reach.inner : reach.border).push_back({x, y});
        }
    }
}

}  // namespace

void remove_small_blobs(Grid<std::uint8_t>& comb, int par_min_blob, VisitMarks& marks)
{
    const int width = comb.width();
    const int height = comb.height();
    if (width < 3 || height < 3) return;
    // Every exploration takes a fresh mark; there are at most two per pixel.
    marks.ensure_room(2 * static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) + 2);
    const std::uint32_t base = marks.fresh();
    // Reach size of each component measured in this pass, by mark - base - 1;
    // inner pixels keep the mark of their component.
    std::vector<long long> reach_size;
    Reach reach;

    auto measure = [&](Point seed) {
        const std::uint32_t mark = marks.fresh();
        explore(comb, seed, mark, marks, reach);
        reach_size.resize(mark - base);
        reach_size[mark - base - 1] = reach.size();
    };

    // Drops the reach just explored. A dropped border pixel leaves the reach
    // of each other component next to it one pixel smaller.
    auto drop = [&]() {
        for (const Point& p : reach.inner) comb(p.x, p.y) = 255;
        for (const Point& p : reach.border) comb(p.x, p.y) = 255;
        for (const Point& b : reach.border) {
            std::uint32_t seen[8];
            int seen_count = 0;
            for (const NeighbourStep& s : neighbour_order) {
                const int x = b.x + s.dx;
                const int y = b.y + s.dy;
                if (!comb.contains(x, y) || !is_inner(comb, x, y) || comb(x, y) == 255) continue;
                const std::uint32_t id = marks(x, y);
                if (id <= base || std::find(seen, seen + seen_count, id) != seen + seen_count) continue;
                seen[seen_count++] = id;
                --reach_size[id - base - 1];
            }
        }
    };

    for (int y = 1; y < height - 1; ++y) {
        for (int x = 1; x < width - 1; ++x) {
            if (comb(x, y) == 255) continue;
            const std::uint32_t id = marks(x, y);
            if (id > base && reach_size[id - base - 1] > par_min_blob) continue;  // measured, and stays
            measure({x, y});
            if (reach.size() <= par_min_blob) drop();
        }
    }
}

GlobalMeans global_means(const Grid<std::uint8_t>& comb, const Grid<std::uint8_t>& immagine,
                         const Grid<std::uint8_t>& minima_radianza, const Grid<std::uint8_t>& scarto_radianza)
{
    long long count = 0;
    long long source = 0;
    long long minimum = 0;
    long long deviation = 0;
    const std::size_t n = comb.cells().size();
    for (std::size_t i = 0; i < n; ++i) {
        if (comb.cells()[i] != 0) continue;
        ++count;
        source += immagine.cells()[i];
        minimum += minima_radianza.cells()[i];
        deviation += scarto_radianza.cells()[i];
    }
    GlobalMeans means;
    if (count == 0) return means;  // no candidate: the means are never used
    means.immagine = static_cast<double>(source) / static_cast<double>(count);
    means.minima_radianza = static_cast<double>(minimum) / static_cast<double>(count);
    means.scarto_radianza = static_cast<double>(deviation) / static_cast<double>(count);
    return means;
}

void reclassify_blobs(Grid<std::uint8_t>& comb, const Grid<std::uint8_t>& immagine,
                      const Grid<std::uint8_t>& minima_radianza, const Grid<std::uint8_t>& scarto_radianza,
                      const VorlixParameters& p, const GlobalMeans& means, VisitMarks& marks,
                      std::vector<Point>& punto)
{
    const int width = comb.width();
    const int height = comb.height();
    for (int y = 1; y < height - 1; ++y) {
        for (int x = 1; x < width - 1; ++x) {
            if (comb(x, y) != 0) continue;
            const std::uint32_t mark = marks.fresh();
            punto.assign(1, Point{x, y});
            marks(x, y) = mark;
            bool passed = false;
            for (std::size_t next = 0; next < punto.size() && !passed; ++next) {
                const Point c = punto[next];
                if (is_inner(comb, c.x, c.y)) {
                    for (const NeighbourStep& s : neighbour_order) {
                        const int nx = c.x + s.dx;
                        const int ny = c.y + s.dy;
                        if (comb(nx, ny) == 255 || marks(nx, ny) == mark) continue;
                        marks(nx, ny) = mark;
                        punto.push_back({nx, ny});
                    }
                }
                if (static_cast<long long>(punto.size()) > p.par_blob_max) passed = true;
            }
            long long source = 0;
            long long minimum = 0;
            long long deviation = 0;
            for (const Point& q : punto) {
                source += immagine(q.x, q.y);
                minimum += minima_radianza(q.x, q.y);
                deviation += scarto_radianza(q.x, q.y);
            }
            const double count = static_cast<double>(punto.size());
            std::uint8_t label = 10;
            if (source / count > p.par_reclass_source * means.immagine) label = 120;
            if (minimum / count > p.par_reclass_minrad * means.minima_radianza) label = 140;
            if (deviation / count > p.par_reclass_varrad * means.scarto_radianza) label = 160;
            for (const Point& q : punto) comb(q.x, q.y) = label;
        }
    }
}

void accumulate_lines(const Grid<std::uint8_t>& comb, Grid<std::uint8_t>& finale)
{
    const std::size_t n = comb.cells().size();
    for (std::size_t i = 0; i < n; ++i)
        if (comb.cells()[i] == 10) finale.cells()[i] = 0;
}
