#include "transforms.h"

#include "transform_runs.h"
#include "work_items.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using namespace transform_runs;

template <typename Inside>
int leading_inside(const std::vector<Offset>& offsets, Inside inside)
{
    return static_cast<int>(std::partition_point(offsets.begin(), offsets.end(), inside) - offsets.begin());
}

DirectionPlan plan_direction(const DirectionTable& table, int a, const std::vector<int>& raggi, int width, int height)
{
    DirectionPlan plan;
    const int used = table.num_offset(a, raggi.back());
    for (int k = 0; k < used; ++k) {
        const Offset o = table.offsets(a)[k];
        // Offsets grow: once one can never land inside, none after it can.
        if (std::abs(o.dx) >= width || std::abs(o.dy) >= height) break;
        plan.offsets.push_back(o);
    }
    const int effective = static_cast<int>(plan.offsets.size());
    for (int r : raggi) plan.limit.push_back(std::min(table.num_offset(a, r), effective));

    plan.kxp.resize(width);
    plan.kxm.resize(width);
    for (int x = 0; x < width; ++x) {
        plan.kxp[x] = leading_inside(plan.offsets, [&](const Offset& o) { return x + o.dx >= 0 && x + o.dx < width; });
        plan.kxm[x] = leading_inside(plan.offsets, [&](const Offset& o) { return x - o.dx >= 0 && x - o.dx < width; });
    }
    plan.kyp.resize(height);
    plan.kym.resize(height);
    for (int y = 0; y < height; ++y) {
        plan.kyp[y] = leading_inside(plan.offsets, [&](const Offset& o) { return y + o.dy >= 0 && y + o.dy < height; });
        plan.kym[y] = leading_inside(plan.offsets, [&](const Offset& o) { return y - o.dy >= 0 && y - o.dy < height; });
    }
    return plan;
}

// A zero-padded copy of the image rows [0, height) for the columns
// [first_x, end_x), wide enough for every offset in use, stored row by row
// (step_y = width of a stored row) or transposed (one stored row per column,
// step_x = its width).
struct PaddedCopy {
    int first_x = 0;
    int pad_x = 0;
    int pad_y = 0;
    bool transposed = false;
    Grid<Sample> pixels;

    LaneSamples at(int x, int y) const
    {
        if (transposed) {
            const Sample* origin = pixels.row(x - first_x + pad_x) + pad_y + y;
            return {origin, pixels.width(), 1};
        }
        const Sample* origin = pixels.row(y + pad_y) + pad_x + x - first_x;
        return {origin, 1, pixels.width()};
    }
};

PaddedCopy pad_columns(const Grid<std::uint8_t>& immagine, int first_x, int end_x, int pad_x, int pad_y,
                       bool transposed)
{
    PaddedCopy copy;
    copy.first_x = first_x;
    copy.pad_x = pad_x;
    copy.pad_y = pad_y;
    copy.transposed = transposed;
    const int width = immagine.width();
    const int height = immagine.height();
    const int columns = end_x - first_x + 2 * pad_x;
    const int rows = height + 2 * pad_y;
    if (transposed)
        copy.pixels.resize(rows + vector_lanes, columns, 0);
    else
        copy.pixels.resize(columns + vector_lanes, rows, 0);
    const int x_from = std::max(0, first_x - pad_x);
    const int x_to = std::min(width, end_x + pad_x);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source = immagine.row(y);
        for (int x = x_from; x < x_to; ++x) {
            if (transposed)
                copy.pixels(y + pad_y, x - first_x + pad_x) = source[x];
            else
                copy.pixels(x - first_x + pad_x, y + pad_y) = source[x];
        }
    }
    return copy;
}

// The image split for the work: columns [xa, xb) and rows [ya, yb) are
// those whose lines of every direction stay inside along the row and along
// the column respectively.
struct Layout {
    int width, height;
    int pad_x, pad_y;
    int xa, xb, ya, yb;
    bool recheck_every_deviation;
    bool border_row(int y) const { return y < ya || y >= yb; }
};

struct Work {
    enum Kind { row, left_column, right_column } kind;
    int line;  // the row y, or the column x
};

template <typename Acc>
void work_item(const Work& w, const Layout& L, const std::vector<DirectionPlan>& plans, const PaddedCopy& rows,
               const PaddedCopy* left, const PaddedCopy* right, std::vector<RadiusTransforms>& out, Maxima& maxima,
               Scratch<Acc>& s)
{
    const bool recheck_all = L.recheck_every_deviation;
    const std::size_t width = static_cast<std::size_t>(L.width);
    int kp[directions];
    int km[directions];
    if (w.kind == Work::row) {
        const int y = w.line;
        auto procedure = [&](int from, int to) {
            for (int x0 = from; x0 < to; x0 += tile_lanes) {
                const int n = std::min(tile_lanes, to - x0);
                procedure_run(plans, y, x0, n, rows.at(x0, y), LaneCells{y * width + x0, 1}, out, maxima, s);
            }
        };
        if constexpr (sizeof(Acc) == 2) {
            for (int a = 0; a < directions; ++a) {
                kp[a] = plans[a].kyp[y];
                km[a] = plans[a].kym[y];
            }
            for (int x0 = L.xa; x0 < L.xb; x0 += tile_lanes) {
                const int n = std::min(tile_lanes, L.xb - x0);
                group_run(plans, kp, km, whole_vectors(n), n, rows.at(x0, y), LaneCells{y * width + x0, 1},
                          recheck_all, out, maxima, s);
            }
            if (L.border_row(y)) {
                procedure(0, L.xa);
                procedure(L.xb, L.width);
            }
        } else {
            procedure(0, L.width);
        }
        return;
    }
    if constexpr (sizeof(Acc) == 2) {
        const int x = w.line;
        const PaddedCopy& copy = w.kind == Work::left_column ? *left : *right;
        for (int a = 0; a < directions; ++a) {
            kp[a] = plans[a].kxp[x];
            km[a] = plans[a].kxm[x];
        }
        for (int y0 = L.ya; y0 < L.yb; y0 += tile_lanes) {
            const int n = std::min(tile_lanes, L.yb - y0);
            group_run(plans, kp, km, whole_vectors(n), n, copy.at(x, y0), LaneCells{y0 * width + x, width},
                      recheck_all, out, maxima, s);
        }
    }
}

template <typename Acc>
void work_item_baseline(const Work& w, const Layout& L, const std::vector<DirectionPlan>& plans,
                        const PaddedCopy& rows, const PaddedCopy* left, const PaddedCopy* right,
                        std::vector<RadiusTransforms>& out, Maxima& maxima, Scratch<Acc>& s)
{
    work_item(w, L, plans, rows, left, right, out, maxima, s);
}

#if VORLIX_AVX2_VERSIONS
template <typename Acc>
VORLIX_TARGET_AVX2 void work_item_avx2(const Work& w, const Layout& L, const std::vector<DirectionPlan>& plans,
                                       const PaddedCopy& rows, const PaddedCopy* left, const PaddedCopy* right,
                                       std::vector<RadiusTransforms>& out, Maxima& maxima, Scratch<Acc>& s)
{
    work_item(w, L, plans, rows, left, right, out, maxima, s);
}
#endif

template <typename Acc>
void transform_image(const Grid<std::uint8_t>& immagine, const std::vector<DirectionPlan>& plans, const Layout& L,
                     std::vector<RadiusTransforms>& out, const RowProgress& row_progress, const FilterWork& how)
{
    const bool grouped = sizeof(Acc) == 2;
    const PaddedCopy rows = pad_columns(immagine, 0, L.width, L.pad_x, L.pad_y, false);
    PaddedCopy left, right;
    std::vector<Work> items;
    for (int y = 0; y < L.height; ++y) items.push_back({Work::row, y});
    if (grouped && L.ya < L.yb) {
        left = pad_columns(immagine, 0, L.xa, L.pad_x, L.pad_y, true);
        right = pad_columns(immagine, L.xb, L.width, L.pad_x, L.pad_y, true);
        for (int x = 0; x < L.xa; ++x) items.push_back({Work::left_column, x});
        for (int x = L.xb; x < L.width; ++x) items.push_back({Work::right_column, x});
    }

    const int threads = std::max(1, std::min(how.threads, static_cast<int>(items.size())));
    std::vector<Scratch<Acc>> scratch(threads);
    const int radii = static_cast<int>(out.size());
    std::vector<Maxima> maxima(threads, Maxima{std::vector<int>(radii, 0), std::vector<int>(radii, 0)});
    run_items(
        static_cast<int>(items.size()), threads,
        [&](int item, int worker) {
#if VORLIX_AVX2_VERSIONS
            if (how.instruction_set == InstructionSet::avx2) {
                work_item_avx2(items[item], L, plans, rows, &left, &right, out, maxima[worker], scratch[worker]);
                return;
            }
#endif
            work_item_baseline(items[item], L, plans, rows, &left, &right, out, maxima[worker], scratch[worker]);
        },
        [&](int item) {
            if (row_progress && item < L.height) row_progress(item);
        });
    for (const Maxima& m : maxima)
        for (int i = 0; i < radii; ++i) {
            out[i].max_min = std::max(out[i].max_min, m.min[i]);
            out[i].max_scarto = std::max(out[i].max_scarto, m.scarto[i]);
        }
}

}  // namespace

std::vector<RadiusTransforms> compute_transforms(const Grid<std::uint8_t>& immagine, const std::vector<int>& raggi,
                                                 const DirectionTable& table, const RowProgress& row_progress,
                                                 const FilterWork& work)
{
    const int width = immagine.width();
    const int height = immagine.height();
    std::vector<RadiusTransforms> out(raggi.size());
    for (std::size_t i = 0; i < raggi.size(); ++i) {
        out[i].raggio = raggi[i];
        out[i].direzione.resize(width, height, 0);
        out[i].minima_radianza.resize(width, height, 0);
        out[i].scarto_radianza.resize(width, height, 0);
    }
    if (raggi.empty() || width == 0 || height == 0) return out;

    std::vector<DirectionPlan> plans;
    plans.reserve(directions);
    Layout L{width, height, 0, 0, 0, 0, 0, 0, work.recheck_every_deviation};
    int most_offsets = 0;
    for (int a = 0; a < directions; ++a) {
        plans.push_back(plan_direction(table, a, raggi, width, height));
        most_offsets = std::max(most_offsets, plans.back().limit.back());
        for (const Offset& o : plans.back().offsets) {
            L.pad_x = std::max(L.pad_x, std::abs(o.dx));
            L.pad_y = std::max(L.pad_y, std::abs(o.dy));
        }
    }
    L.xa = std::min(L.pad_x, width);
    L.xb = std::max(L.xa, width - L.pad_x);
    L.ya = std::min(L.pad_y, height);
    L.yb = std::max(L.ya, height - L.pad_y);
    // A sum holds at most 2 * offsets samples of 255.
    if (2 * 255 * most_offsets <= 0xFFFF)
        transform_image<std::uint16_t>(immagine, plans, L, out, row_progress, work);
    else
        transform_image<std::uint32_t>(immagine, plans, L, out, row_progress, work);
    return out;
}
