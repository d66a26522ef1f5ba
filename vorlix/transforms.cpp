#include "transforms.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Columns worked together: a tile is one row segment of this many pixels,
// small enough for its running state to stay in the first-level cache.
constexpr int tile_width = 1024;

constexpr int directions = DirectionTable::directions;

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

// The image inside a frame of zeros wide enough for every offset in use.
struct PaddedImage {
    int pad_x = 0;
    int pad_y = 0;
    Grid<std::uint8_t> pixels;

    // Start of the samples of image row y shifted by dx, dy.
    const std::uint8_t* at(int x, int y) const { return pixels.row(y + pad_y) + pad_x + x; }
};

PaddedImage pad_image(const Grid<std::uint8_t>& immagine, const std::vector<DirectionPlan>& plans)
{
    PaddedImage padded;
    for (const DirectionPlan& plan : plans) {
        for (const Offset& o : plan.offsets) {
            padded.pad_x = std::max(padded.pad_x, std::abs(o.dx));
            padded.pad_y = std::max(padded.pad_y, std::abs(o.dy));
        }
    }
    const int width = immagine.width();
    const int height = immagine.height();
    padded.pixels.resize(width + 2 * padded.pad_x, height + 2 * padded.pad_y, 0);
    for (int y = 0; y < height; ++y) std::copy(immagine.row(y), immagine.row(y) + width, padded.pixels.row(y + padded.pad_y) + padded.pad_x);
    return padded;
}

// acc += p + m, sample by sample.
template <typename Acc>
void add_pair(Acc* acc, const std::uint8_t* p, const std::uint8_t* m, int n)
{
    for (int x = 0; x < n; ++x) acc[x] = static_cast<Acc>(acc[x] + p[x] + m[x]);
}

// acc += p1 + m1 + p2 + m2: two offsets in one pass over the sums.
template <typename Acc>
void add_two_pairs(Acc* acc, const std::uint8_t* p1, const std::uint8_t* m1, const std::uint8_t* p2,
                   const std::uint8_t* m2, int n)
{
    for (int x = 0; x < n; ++x) acc[x] = static_cast<Acc>(acc[x] + ((p1[x] + m1[x]) + (p2[x] + m2[x])));
}

// Folds the means of direction a into the running total and minimum.
// Written without branches so that it vectorises: the direction of a new
// minimum is blended in arithmetically (exact, the values are small whole
// numbers).
template <typename Acc>
void fold_direction(const Acc* acc, const int* kxp, const int* kxm, int c1, int c2, double a, double* total,
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

template <typename Acc>
void transform_tiles(const Grid<std::uint8_t>& immagine, const std::vector<DirectionPlan>& plans,
                     const PaddedImage& padded, std::vector<RadiusTransforms>& out, const RowProgress& before_row)
{
    const int width = immagine.width();
    const int height = immagine.height();
    const int radii = static_cast<int>(out.size());
    const int tw_max = std::min(width, tile_width);
    std::vector<Acc> sums(static_cast<std::size_t>(directions) * tw_max);
    std::vector<double> total(tw_max), smallest(tw_max), darkest(tw_max);

    for (int y = 0; y < height; ++y) {
        if (before_row) before_row(y);
        for (int x0 = 0; x0 < width; x0 += tile_width) {
            const int tw = std::min(tile_width, width - x0);
            std::fill(sums.begin(), sums.end(), Acc(0));
            for (int i = 0; i < radii; ++i) {
                std::fill(total.begin(), total.begin() + tw, 0.0);
                std::fill(smallest.begin(), smallest.begin() + tw, 999.0);
                std::fill(darkest.begin(), darkest.begin() + tw, 0.0);
                for (int a = 0; a < directions; ++a) {
                    const DirectionPlan& plan = plans[a];
                    Acc* acc = sums.data() + static_cast<std::size_t>(a) * tw_max;
                    int k = i == 0 ? 0 : plan.limit[i - 1];
                    const int end = plan.limit[i];
                    for (; k + 1 < end; k += 2) {
                        const Offset o1 = plan.offsets[k];
                        const Offset o2 = plan.offsets[k + 1];
                        add_two_pairs(acc, padded.at(x0 + o1.dx, y + o1.dy), padded.at(x0 - o1.dx, y - o1.dy),
                                      padded.at(x0 + o2.dx, y + o2.dy), padded.at(x0 - o2.dx, y - o2.dy), tw);
                    }
                    if (k < end) {
                        const Offset o = plan.offsets[k];
                        add_pair(acc, padded.at(x0 + o.dx, y + o.dy), padded.at(x0 - o.dx, y - o.dy), tw);
                    }
                    const int c1 = std::min(end, plan.kyp[y]);
                    const int c2 = std::min(end, plan.kym[y]);
                    fold_direction(acc, plan.kxp.data() + x0, plan.kxm.data() + x0, c1, c2, static_cast<double>(a),
                                   total.data(), smallest.data(), darkest.data(), tw);
                }
                RadiusTransforms& r = out[i];
                std::uint8_t* dir_row = r.direzione.row(y) + x0;
                std::uint8_t* min_row = r.minima_radianza.row(y) + x0;
                std::uint8_t* dev_row = r.scarto_radianza.row(y) + x0;
                for (int x = 0; x < tw; ++x) {
                    const double mean = total[x] / 180;
                    const int minimum = static_cast<int>(smallest[x]);
                    const int deviation = static_cast<int>(mean - smallest[x]);
                    dir_row[x] = static_cast<std::uint8_t>(darkest[x]);
                    min_row[x] = static_cast<std::uint8_t>(minimum);
                    dev_row[x] = static_cast<std::uint8_t>(deviation);
                    r.max_min = std::max(r.max_min, minimum);
                    r.max_scarto = std::max(r.max_scarto, deviation);
                }
            }
        }
    }
}

}  // namespace

std::vector<RadiusTransforms> compute_transforms(const Grid<std::uint8_t>& immagine, const std::vector<int>& raggi,
                                                 const DirectionTable& table, const RowProgress& before_row)
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
    int most_offsets = 0;
    for (int a = 0; a < directions; ++a) {
        plans.push_back(plan_direction(table, a, raggi, width, height));
        most_offsets = std::max(most_offsets, plans.back().limit.back());
    }
    const PaddedImage padded = pad_image(immagine, plans);
    // A sum holds at most 2 * offsets samples of 255.
    if (2 * 255 * most_offsets <= 0xFFFF)
        transform_tiles<std::uint16_t>(immagine, plans, padded, out, before_row);
    else
        transform_tiles<std::uint32_t>(immagine, plans, padded, out, before_row);
    return out;
}
