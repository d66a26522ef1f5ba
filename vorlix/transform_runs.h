// The work on one run of pixels of the directional transforms: the sums of
// the samples of every direction, carried from radius to radius, and their
// reduction to the darkest direction, the darkest mean and the deviation,
// either in the per-pixel procedure's own doubles or by exact fractions
// grouped by their number of points. Inline, so that each instruction set's
// version of the transforms compiles its own copy.
#pragma once

#include "direction_table.h"
#include "grid.h"
#include "transforms.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace transform_runs {

constexpr int directions = DirectionTable::directions;

// Pixels worked together: one run of this many along a row (or down a
// column), small enough for its sums to stay in the second-level cache.
constexpr int tile_lanes = 1024;

// The group runs work whole vectors of this many lanes; the padded copies
// carry as many zeros more past their last column.
constexpr int vector_lanes = 32;

inline int whole_vectors(int lanes)
{
    return (lanes + vector_lanes - 1) / vector_lanes * vector_lanes;
}

// What one direction needs for the whole image.
struct DirectionPlan {
    std::vector<Offset> offsets;  // the offsets that can land inside the image
    std::vector<int> limit;       // per radius: offsets in use
    // Per column / row: how many leading offsets keep x + dx (kxp), x - dx
    // (kxm), y + dy (kyp), y - dy (kym) inside the image. Along a direction dx
    // and dy never change sign and never shrink, so the inside points of a
    // half-line are always a leading run of its offsets.
    std::vector<int> kxp, kxm, kyp, kym;
};

// A grey value as the sums read it: held in 16 bits, so that the sums add
// whole vectors of samples without widening them first.
using Sample = std::uint16_t;

// The samples of a run of pixels: pixel j of the run samples offset (dx, dy)
// at p(o)[j] and (-dx, -dy) at m(o)[j]. The run goes along a row of a
// zero-padded copy of the image, or along a row of a zero-padded copy of its
// transpose (down a column of the image).
struct LaneSamples {
    const Sample* origin;        // pixel 0 of the run
    std::ptrdiff_t step_x;       // pointer step of dx = 1
    std::ptrdiff_t step_y;       // pointer step of dy = 1

    const Sample* p(Offset o) const { return origin + o.dx * step_x + o.dy * step_y; }
    const Sample* m(Offset o) const { return origin - o.dx * step_x - o.dy * step_y; }
};

// Where a run's results go: pixel j of the run is cell first + j * step of
// the planes.
struct LaneCells {
    std::size_t first;
    std::size_t step;
};

// The maxima a worker has seen, per radius.
struct Maxima {
    std::vector<int> min, scarto;
};

inline void store(std::vector<RadiusTransforms>& out, Maxima& maxima, int i, std::size_t cell, int direction, int minimum,
           int deviation)
{
    RadiusTransforms& r = out[i];
    r.direzione.cells()[cell] = static_cast<std::uint8_t>(direction);
    r.minima_radianza.cells()[cell] = static_cast<std::uint8_t>(minimum);
    r.scarto_radianza.cells()[cell] = static_cast<std::uint8_t>(deviation);
    maxima.min[i] = std::max(maxima.min[i], minimum);
    maxima.scarto[i] = std::max(maxima.scarto[i], deviation);
}

// Stores a run's results and notes their maxima.
inline void store_run(RadiusTransforms& r, Maxima& maxima, int i, LaneCells cells, const std::uint8_t* direction,
                      const std::uint8_t* minimum, const std::uint8_t* deviation, int n)
{
    int most_min = maxima.min[i];
    int most_scarto = maxima.scarto[i];
    for (int j = 0; j < n; ++j) {
        most_min = std::max(most_min, static_cast<int>(minimum[j]));
        most_scarto = std::max(most_scarto, static_cast<int>(deviation[j]));
    }
    maxima.min[i] = most_min;
    maxima.scarto[i] = most_scarto;
    std::uint8_t* dir_cells = r.direzione.cells().data() + cells.first;
    std::uint8_t* min_cells = r.minima_radianza.cells().data() + cells.first;
    std::uint8_t* dev_cells = r.scarto_radianza.cells().data() + cells.first;
    if (cells.step == 1) {
        std::copy(direction, direction + n, dir_cells);
        std::copy(minimum, minimum + n, min_cells);
        std::copy(deviation, deviation + n, dev_cells);
        return;
    }
    for (int j = 0; j < n; ++j) {
        dir_cells[j * cells.step] = direction[j];
        min_cells[j * cells.step] = minimum[j];
        dev_cells[j * cells.step] = deviation[j];
    }
}

// acc += the samples of k offsets (k from 1 to 4) in one pass over the sums.
template <int k, typename Acc>
inline void add_offsets_at_once(Acc* acc, const std::vector<Offset>& offsets, int first, const LaneSamples& s, int n)
{
    const Sample* p[4];
    const Sample* m[4];
    for (int i = 0; i < k; ++i) {
        p[i] = s.p(offsets[first + i]);
        m[i] = s.m(offsets[first + i]);
    }
    for (int x = 0; x < n; ++x) {
        Acc sum = static_cast<Acc>(p[0][x] + m[0][x]);
        if (k > 1) sum = static_cast<Acc>(sum + p[1][x] + m[1][x]);
        if (k > 2) sum = static_cast<Acc>(sum + p[2][x] + m[2][x]);
        if (k > 3) sum = static_cast<Acc>(sum + p[3][x] + m[3][x]);
        acc[x] = static_cast<Acc>(acc[x] + sum);
    }
}

// Adds the offsets [from, to) of a direction to its sums.
template <typename Acc>
inline void add_offsets(Acc* acc, const std::vector<Offset>& offsets, int from, int to, const LaneSamples& s, int n)
{
    int k = from;
    for (; k + 4 <= to; k += 4) add_offsets_at_once<4>(acc, offsets, k, s, n);
    switch (to - k) {
    case 3:
        add_offsets_at_once<3>(acc, offsets, k, s, n);
        break;
    case 2:
        add_offsets_at_once<2>(acc, offsets, k, s, n);
        break;
    case 1:
        add_offsets_at_once<1>(acc, offsets, k, s, n);
        break;
    default:
        break;
    }
}

// A worker's buffers.
template <typename Acc>
struct Scratch {
    std::vector<Acc> sums = std::vector<Acc>(static_cast<std::size_t>(directions) * tile_lanes);
    // Per-lane procedure: running minimum, its direction and the total.
    std::vector<double> total = std::vector<double>(tile_lanes);
    std::vector<double> smallest = std::vector<double>(tile_lanes);
    std::vector<double> darkest = std::vector<double>(tile_lanes);
    // Group folding: the group's smallest sum, its direction and its total;
    // the best fraction so far (sum over count) and its direction.
    std::vector<Acc> group_min = std::vector<Acc>(tile_lanes);
    std::vector<std::uint16_t> group_arg = std::vector<std::uint16_t>(tile_lanes);
    std::vector<std::int32_t> group_sum = std::vector<std::int32_t>(tile_lanes);
    std::vector<std::int32_t> best_sum = std::vector<std::int32_t>(tile_lanes);
    std::vector<std::int32_t> best_count = std::vector<std::int32_t>(tile_lanes);
    std::vector<std::int32_t> best_arg = std::vector<std::int32_t>(tile_lanes);
    std::vector<double> deviation = std::vector<double>(tile_lanes);
    std::vector<std::uint8_t> out_dir = std::vector<std::uint8_t>(tile_lanes);
    std::vector<std::uint8_t> out_min = std::vector<std::uint8_t>(tile_lanes);
    std::vector<std::uint8_t> out_dev = std::vector<std::uint8_t>(tile_lanes);
    std::vector<std::uint8_t> doubtful = std::vector<std::uint8_t>(tile_lanes);
    // Directions ordered by count, lowest direction first among equal counts.
    int counts[directions];
    int order[directions];
    std::vector<int> tally;
};

// s.order = the directions by s.counts, in increasing direction among equal
// counts (a counting sort: the counts are small).
template <typename Acc>
inline void order_by_count(Scratch<Acc>& s)
{
    const int most = *std::max_element(s.counts, s.counts + directions);
    s.tally.assign(most + 2, 0);
    for (int a = 0; a < directions; ++a) ++s.tally[s.counts[a] + 1];
    for (int c = 1; c <= most + 1; ++c) s.tally[c] += s.tally[c - 1];
    for (int a = 0; a < directions; ++a) s.order[s.tally[s.counts[a]]++] = a;
}

// The per-pixel procedure's fold of direction a: the mean in doubles, the
// running total, the running minimum (strictly smaller) and its direction,
// written without branches so that it vectorises (the direction of a new
// minimum is blended in arithmetically: exact, the values are small whole
// numbers).
template <typename Acc>
inline void fold_direction(const Acc* acc, const int* kxp, const int* kxm, int c1, int c2, double a, double* total,
                           double* smallest, double* darkest, int n)
{
    for (int x = 0; x < n; ++x) {
        const int p = kxp[x] < c1 ? kxp[x] : c1;
        const int m = kxm[x] < c2 ? kxm[x] : c2;
        const int count = p + m;
        // Where no point is inside the sum is 0 too, so the mean is 0.
        const double media = static_cast<double>(acc[x]) / static_cast<double>(count > 1 ? count : 1);
        total[x] += media;
        const double old = smallest[x];
        const double smaller = media < old ? 1.0 : 0.0;
        smallest[x] = media < old ? media : old;
        darkest[x] += smaller * (a - darkest[x]);
    }
}

// A run of pixels along a row whose numbers of inside points differ from
// pixel to pixel (the corners of the image, or every pixel when the sums
// need 32 bits): the per-pixel procedure itself.
template <typename Acc>
inline void procedure_run(const std::vector<DirectionPlan>& plans, int y, int x0, int n, const LaneSamples& samples,
                          LaneCells cells, std::vector<RadiusTransforms>& out, Maxima& maxima, Scratch<Acc>& s)
{
    std::fill(s.sums.begin(), s.sums.begin() + static_cast<std::size_t>(directions) * n, Acc(0));
    for (std::size_t i = 0; i < out.size(); ++i) {
        std::fill(s.total.begin(), s.total.begin() + n, 0.0);
        std::fill(s.smallest.begin(), s.smallest.begin() + n, 999.0);
        std::fill(s.darkest.begin(), s.darkest.begin() + n, 0.0);
        for (int a = 0; a < directions; ++a) {
            const DirectionPlan& plan = plans[a];
            Acc* acc = s.sums.data() + static_cast<std::size_t>(a) * n;
            const int end = plan.limit[i];
            add_offsets(acc, plan.offsets, i == 0 ? 0 : plan.limit[i - 1], end, samples, n);
            fold_direction(acc, plan.kxp.data() + x0, plan.kxm.data() + x0, std::min(end, plan.kyp[y]),
                           std::min(end, plan.kym[y]), static_cast<double>(a), s.total.data(), s.smallest.data(),
                           s.darkest.data(), n);
        }
        for (int j = 0; j < n; ++j) {
            const double mean = s.total[j] / 180;
            store(out, maxima, static_cast<int>(i), cells.first + j * cells.step, static_cast<int>(s.darkest[j]),
                  static_cast<int>(s.smallest[j]), static_cast<int>(mean - s.smallest[j]));
        }
    }
}

// The group fold of k directions (1 to 4) of one group, in increasing
// direction: the group's smallest sum so far (strictly smaller replaces it,
// so the lowest direction wins ties), its direction, and the group's total
// (the k sums added in 16 bits first, which the caller has checked they fit).
template <int k>
inline void fold_group_directions(const std::uint16_t* const* sums, const std::uint16_t* directions_of,
                                  std::uint16_t* __restrict group_min, std::uint16_t* __restrict group_arg,
                                  std::int32_t* __restrict group_sum, int n)
{
    const std::uint16_t* __restrict s0 = sums[0];
    const std::uint16_t* __restrict s1 = sums[k > 1 ? 1 : 0];
    const std::uint16_t* __restrict s2 = sums[k > 2 ? 2 : 0];
    const std::uint16_t* __restrict s3 = sums[k > 3 ? 3 : 0];
    const std::uint16_t d0 = directions_of[0];
    const std::uint16_t d1 = directions_of[k > 1 ? 1 : 0];
    const std::uint16_t d2 = directions_of[k > 2 ? 2 : 0];
    const std::uint16_t d3 = directions_of[k > 3 ? 3 : 0];
    auto fold = [](std::uint16_t v, std::uint16_t d, std::uint16_t& smallest, std::uint16_t& direction) {
        const bool smaller = v < smallest;
        smallest = smaller ? v : smallest;
        direction = smaller ? d : direction;
    };
    for (int j = 0; j < n; ++j) {
        std::uint16_t smallest = group_min[j];
        std::uint16_t direction = group_arg[j];
        std::uint16_t part = s0[j];
        fold(s0[j], d0, smallest, direction);
        if (k > 1) {
            fold(s1[j], d1, smallest, direction);
            part = static_cast<std::uint16_t>(part + s1[j]);
        }
        if (k > 2) {
            fold(s2[j], d2, smallest, direction);
            part = static_cast<std::uint16_t>(part + s2[j]);
        }
        if (k > 3) {
            fold(s3[j], d3, smallest, direction);
            part = static_cast<std::uint16_t>(part + s3[j]);
        }
        group_min[j] = smallest;
        group_arg[j] = direction;
        group_sum[j] += part;
    }
}

// A run of pixels with the same number of inside points on each direction.
//
// The darkest mean is the smallest fraction sum / count. Within a group of
// directions with the same count the sums compare as the fractions do, so
// each group yields its smallest sum (lowest direction on ties); the groups'
// winners are compared as exact fractions by cross-multiplying (lowest
// direction on ties). Two different fractions of counts this small differ
// by far more than the rounding of their quotients in doubles, and equal
// ones round alike, so this is the order of the procedure's doubles. The
// total of the 180 means is the sum over the groups of the group's sum over
// its count.
//
// n is a whole number of vectors: the lanes past the run read the zero
// margin of the padded copy and are not stored.
inline void group_run(const std::vector<DirectionPlan>& plans, const int* kp, const int* km, int n, int stored,
                      const LaneSamples& samples, LaneCells cells, bool recheck_all, std::vector<RadiusTransforms>& out,
                      Maxima& maxima, Scratch<std::uint16_t>& s)
{
    using Acc = std::uint16_t;
    std::fill(s.sums.begin(), s.sums.begin() + static_cast<std::size_t>(directions) * n, Acc(0));
    Acc* group_min = s.group_min.data();
    std::uint16_t* group_arg = s.group_arg.data();
    std::int32_t* group_sum = s.group_sum.data();
    std::int32_t* best_sum = s.best_sum.data();
    std::int32_t* best_count = s.best_count.data();
    std::int32_t* best_arg = s.best_arg.data();
    double* total = s.total.data();
    double* deviation = s.deviation.data();
    std::uint8_t* out_min = s.out_min.data();
    std::uint8_t* out_dev = s.out_dev.data();
    std::uint8_t* out_dir = s.out_dir.data();
    std::uint8_t* doubtful = s.doubtful.data();

    for (std::size_t i = 0; i < out.size(); ++i) {
        int most = 0;
        for (int a = 0; a < directions; ++a) {
            const int end = plans[a].limit[i];
            s.counts[a] = std::min(end, kp[a]) + std::min(end, km[a]);
            most = std::max(most, end);
        }
        order_by_count(s);
        // Directions whose sums add up within 16 bits.
        const int at_once = std::max(1, std::min(4, 0xFFFF / std::max(1, 2 * 255 * most)));

        for (int j = 0; j < n; ++j) {
            best_sum[j] = 1;  // 1 / 0: above every fraction
            best_count[j] = 0;
            best_arg[j] = 0;
            total[j] = 0.0;
        }
        for (int first = 0; first < directions;) {
            const int count = s.counts[s.order[first]];
            int end = first + 1;
            while (end < directions && s.counts[s.order[end]] == count) ++end;
            for (int j = 0; j < n; ++j) {
                group_min[j] = 0xFFFF;  // above every sum: 16-bit sums stay below 2 * 128 * 255
                group_arg[j] = 0;
                group_sum[j] = 0;
            }
            for (int g = first; g < end; g += at_once) {
                const int k = std::min(at_once, end - g);
                const Acc* chunk[4];
                std::uint16_t chunk_directions[4];
                for (int d = 0; d < k; ++d) {
                    const int a = s.order[g + d];
                    const DirectionPlan& plan = plans[a];
                    Acc* acc = s.sums.data() + static_cast<std::size_t>(a) * n;
                    add_offsets(acc, plan.offsets, i == 0 ? 0 : plan.limit[i - 1], plan.limit[i], samples, n);
                    chunk[d] = acc;
                    chunk_directions[d] = static_cast<std::uint16_t>(a);
                }
                switch (k) {
                case 4:
                    fold_group_directions<4>(chunk, chunk_directions, group_min, group_arg, group_sum, n);
                    break;
                case 3:
                    fold_group_directions<3>(chunk, chunk_directions, group_min, group_arg, group_sum, n);
                    break;
                case 2:
                    fold_group_directions<2>(chunk, chunk_directions, group_min, group_arg, group_sum, n);
                    break;
                default:
                    fold_group_directions<1>(chunk, chunk_directions, group_min, group_arg, group_sum, n);
                    break;
                }
            }
            // No point inside: the sums are 0 and the mean is 0, as 0 / 1.
            const std::int32_t group_count = count > 0 ? count : 1;
            const double inverse = 1.0 / static_cast<double>(group_count);
            for (int j = 0; j < n; ++j) {
                const std::int32_t smallest = group_min[j];
                const std::int32_t direction = group_arg[j];
                const std::int32_t left = smallest * best_count[j];
                const std::int32_t right = best_sum[j] * group_count;
                const bool better = left < right || (left == right && direction < best_arg[j]);
                best_sum[j] = better ? smallest : best_sum[j];
                best_count[j] = better ? group_count : best_count[j];
                best_arg[j] = better ? direction : best_arg[j];
            }
            for (int j = 0; j < n; ++j) total[j] += static_cast<double>(group_sum[j]) * inverse;
            first = end;
        }

        for (int j = 0; j < n; ++j) {
            const double smallest = static_cast<double>(best_sum[j]) / static_cast<double>(best_count[j]);
            deviation[j] = total[j] / 180 - smallest;
            total[j] = smallest;  // kept for the doubtful lanes below
            out_min[j] = static_cast<std::uint8_t>(static_cast<int>(smallest));
            out_dev[j] = static_cast<std::uint8_t>(static_cast<int>(deviation[j]));
            out_dir[j] = static_cast<std::uint8_t>(best_arg[j]);
            // Within a hair of a whole number from 1 up the deviation from the
            // groups may truncate differently from the procedure's own. Both
            // lie within 1e-9 of the exact value (a few hundred roundings of
            // numbers below 46 000 in doubles); below 1 both truncate to 0.
            const double nearest = static_cast<double>(static_cast<int>(deviation[j] + 0.5));
            const double off = deviation[j] - nearest;
            doubtful[j] = nearest >= 1 && off < 1e-6 && off > -1e-6;
        }
        for (int j = 0; j < stored; ++j) {
            if (!doubtful[j] && !recheck_all) continue;
            // The procedure's own order: the 180 means in doubles.
            double exact_total = 0.0;
            for (int a = 0; a < directions; ++a) {
                const int count = s.counts[a];
                const Acc sum = s.sums[static_cast<std::size_t>(a) * n + j];
                exact_total += static_cast<double>(sum) / static_cast<double>(count > 1 ? count : 1);
            }
            out_dev[j] = static_cast<std::uint8_t>(static_cast<int>(exact_total / 180 - total[j]));
        }
        store_run(out[i], maxima, static_cast<int>(i), cells, out_dir, out_min, out_dev, stored);
    }
}

}  // namespace transform_runs
