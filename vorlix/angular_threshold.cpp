#include "thresholds.h"

#include "work_items.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// A window pixel agrees with the pixel in the middle when their directions,
// taken modulo 90 degrees as classes 0..89, lie within the tolerance of each
// other around the circle of 90 classes. For every class c, let agreeing(c)
// be the set of classes within reach of c. Each column of a band keeps, for
// every class c, how many of its pixels in the window's rows fall in
// agreeing(c): adding a pixel of class k adds 1 to every c of agreeing(k)
// (the relation is symmetric). The window's counts are the sums of its
// columns' counts, slid along the row; the pixel's agreeing count is the
// window's count at its own class. Every update is a whole vector of counts,
// which the compiler turns into wide additions.
namespace {

constexpr int classes = 90;
constexpr int lanes = 96;  // the classes padded to whole 256-bit vectors

template <typename Count>
struct alignas(32) ClassCounts {
    Count n[lanes];
};

template <typename Count>
inline void add(ClassCounts<Count>& to, const ClassCounts<Count>& counts)
{
    for (int c = 0; c < lanes; ++c) to.n[c] = static_cast<Count>(to.n[c] + counts.n[c]);
}

template <typename Count>
inline void subtract(ClassCounts<Count>& from, const ClassCounts<Count>& counts)
{
    for (int c = 0; c < lanes; ++c) from.n[c] = static_cast<Count>(from.n[c] - counts.n[c]);
}

inline std::uint8_t class_of(std::uint8_t direction)
{
    return static_cast<std::uint8_t>(direction >= classes ? direction - classes : direction);
}

// What every band reads: the planes, the agreeing sets and the pass test.
template <typename Count>
struct AngularWindow {
    const Grid<std::uint8_t>& direzione;
    Grid<std::uint8_t>& maschera_ang;
    int Q;
    double soglia_ang;
    std::vector<ClassCounts<Count>> agreeing;  // per class: 1 in the lanes of the classes it agrees with
    long long full_window;
    std::vector<char> full_passes;  // per agreeing count of a window the image does not cut

    bool passes(long long agree, long long window) const
    {
        const double score = 255 - 255.0 * static_cast<double>(agree) / static_cast<double>(window);
        return soglia_ang > score;
    }
};

// `reach` -1 agrees with nothing, 45 with everything.
template <typename Count>
std::vector<ClassCounts<Count>> agreeing_sets(int reach)
{
    std::vector<ClassCounts<Count>> sets(classes, ClassCounts<Count>{});
    for (int k = 0; k < classes; ++k)
        for (int c = 0; c < classes; ++c) {
            const int d = std::abs(c - k);
            if (std::min(d, classes - d) <= reach) sets[k].n[c] = 1;
        }
    return sets;
}

// The rows a band's columns take in and give up when the window moves down
// to the next row (none at the image's top and bottom).
struct RowChange {
    const std::uint8_t* entering = nullptr;
    const std::uint8_t* leaving = nullptr;
};

template <typename Count>
inline void move_column(const AngularWindow<Count>& a, const RowChange& change, int x, ClassCounts<Count>& column)
{
    if (change.entering) add(column, a.agreeing[class_of(change.entering[x])]);
    if (change.leaving) subtract(column, a.agreeing[class_of(change.leaving[x])]);
}

// Each column is moved down to the row just before the window takes it in,
// so that a column is read from memory once per row.
template <typename Count>
inline void work_band(const AngularWindow<Count>& a, int y0, int y1, std::vector<ClassCounts<Count>>& columns)
{
    const int width = a.direzione.width();
    const int height = a.direzione.height();
    const int Q = a.Q;
    std::fill(columns.begin(), columns.end(), ClassCounts<Count>{});
    for (int y = std::max(y0 - Q, 0); y <= std::min(y0 + Q, height - 1); ++y) {
        const RowChange change{a.direzione.row(y), nullptr};
        for (int x = 0; x < width; ++x) move_column(a, change, x, columns[x]);
    }
    for (int y = y0; y < y1; ++y) {
        RowChange change;
        if (y > y0 && y + Q < height) change.entering = a.direzione.row(y + Q);
        if (y > y0 && y - Q - 1 >= 0) change.leaving = a.direzione.row(y - Q - 1);
        const long long rows = std::min(y + Q, height - 1) - std::max(y - Q, 0) + 1;
        const std::uint8_t* own = a.direzione.row(y);
        std::uint8_t* out = a.maschera_ang.row(y);
        ClassCounts<Count> window{};
        for (int x = 0; x <= std::min(Q, width - 1); ++x) {
            move_column(a, change, x, columns[x]);
            add(window, columns[x]);
        }
        for (int x = 0; x < width; ++x) {
            if (x > 0) {
                if (x + Q < width) {
                    move_column(a, change, x + Q, columns[x + Q]);
                    add(window, columns[x + Q]);
                }
                if (x - Q - 1 >= 0) subtract(window, columns[x - Q - 1]);
            }
            const long long agree = window.n[class_of(own[x])];
            const long long size = rows * (std::min(x + Q, width - 1) - std::max(x - Q, 0) + 1);
            const bool pass = size == a.full_window && !a.full_passes.empty() ? a.full_passes[agree] != 0
                                                                                : a.passes(agree, size);
            if (pass) out[x] = 0;
        }
    }
}

template <typename Count>
void work_band_baseline(const AngularWindow<Count>& a, int y0, int y1, std::vector<ClassCounts<Count>>& columns)
{
    work_band(a, y0, y1, columns);
}

#if VORLIX_AVX2_VERSIONS
template <typename Count>
VORLIX_TARGET_AVX2 void work_band_avx2(const AngularWindow<Count>& a, int y0, int y1,
                                       std::vector<ClassCounts<Count>>& columns)
{
    work_band(a, y0, y1, columns);
}
#endif

// Rows worked as one item by the threads: each band first gathers the 2Q + 1
// rows around its first row, so bands are long, about four per thread.
int band_rows(int height, int threads)
{
    const int per_thread = 4;
    return std::max(64, (height + per_thread * threads - 1) / (per_thread * threads));
}

template <typename Count>
void threshold_in_bands(AngularWindow<Count>& a, const FilterWork& work)
{
    const int width = a.direzione.width();
    const int height = a.direzione.height();
    const int rows_per_band = band_rows(height, std::max(1, work.threads));
    const int bands = (height + rows_per_band - 1) / rows_per_band;
    const int threads = std::max(1, std::min(work.threads, bands));
    std::vector<std::vector<ClassCounts<Count>>> columns(threads);
    run_items(bands, threads, [&](int band, int worker) {
        std::vector<ClassCounts<Count>>& own_columns = columns[worker];
        own_columns.resize(width);
        const int y0 = band * rows_per_band;
        const int y1 = std::min(height, y0 + rows_per_band);
#if VORLIX_AVX2_VERSIONS
        if (work.instruction_set == InstructionSet::avx2) {
            work_band_avx2(a, y0, y1, own_columns);
            return;
        }
#endif
        work_band_baseline(a, y0, y1, own_columns);
    });
}

template <typename Count>
void threshold_with(const Grid<std::uint8_t>& direzione, int Q, double soglia_ang, int reach,
                    Grid<std::uint8_t>& maschera_ang, const FilterWork& work)
{
    AngularWindow<Count> a{direzione, maschera_ang, Q, soglia_ang, agreeing_sets<Count>(reach), 0, {}};
    a.full_window = (2LL * Q + 1) * (2LL * Q + 1);
    if (a.full_window <= (1 << 20))
        for (long long agree = 0; agree <= a.full_window; ++agree)
            a.full_passes.push_back(a.passes(agree, a.full_window));
    threshold_in_bands(a, work);
}

}  // namespace

void angular_threshold(const Grid<std::uint8_t>& direzione, int Q, double soglia_ang, double tolleranza,
                       Grid<std::uint8_t>& maschera_ang, const FilterWork& work)
{
    const int width = direzione.width();
    const int height = direzione.height();
    if (width == 0 || height == 0) return;
    // The folded difference of two classes lies in 0..45, so a tolerance of
    // 45 or more agrees with every class and one below 0 with none.
    const int reach = tolleranza >= 45 ? 45 : tolleranza < 0 ? -1 : static_cast<int>(std::floor(tolleranza));
    // Counts of one column are at most its rows, a window's at most its
    // pixels: 16-bit counts when every window fits in them. (While the
    // window moves, a count takes in a column before it gives one up and may
    // pass the limit for a moment; unsigned arithmetic wraps back.)
    const long long widest = std::min<long long>(2LL * Q + 1, width);
    const long long tallest = std::min<long long>(2LL * Q + 1, height);
    if (widest * tallest <= 0xffff)
        threshold_with<std::uint16_t>(direzione, Q, soglia_ang, reach, maschera_ang, work);
    else
        threshold_with<std::uint32_t>(direzione, Q, soglia_ang, reach, maschera_ang, work);
}
