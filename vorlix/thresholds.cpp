#include "thresholds.h"

#include "work_items.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

RadiusThresholds thresholds_for_radius(int raggio, const VorlixParameters& p)
{
    RadiusThresholds t;
    t.soglia_min = std::floor(raggio / 10.0) / 100 + p.par_soglia_minrad;
    t.soglia_var = std::floor(raggio / 20.0) / 100 + p.par_soglia_varrad;
    t.soglia_ang = p.par_soglia_ang - raggio / 5.0;
    t.tolleranza = 12 - raggio / 5.0;
    return t;
}

namespace {

// value -> floor(255 / maximum * value + 0.5), 0 everywhere when the maximum is 0.
std::array<std::uint8_t, 256> scale_table(int maximum)
{
    std::array<std::uint8_t, 256> table{};
    if (maximum == 0) return table;
    for (int v = 0; v < 256; ++v) {
        const double scaled = std::floor(255.0 / maximum * v + 0.5);
        table[v] = static_cast<std::uint8_t>(static_cast<int>(scaled));
    }
    return table;
}

// Sums of a plane over the window [x-h, x+h] x [y-h, y+h] clipped to the
// image, row by row: running column sums, then a running sum along the row.
class WindowSums {
public:
    WindowSums(const Grid<std::uint8_t>& plane, int h) : plane_(plane), h_(h), columns_(plane.width(), 0) {}

    // Fills `sums` and `counts` for row y; rows must be asked in increasing
    // order, one after the other from the first one asked.
    void row(int y, std::vector<long long>& sums, std::vector<long long>& counts)
    {
        const int width = plane_.width();
        const int height = plane_.height();
        if (!started_) {
            started_ = true;
            for (int yy = std::max(y - h_, 0); yy <= std::min(y + h_, height - 1); ++yy) add_row(yy, +1);
        } else {
            if (y + h_ < height) add_row(y + h_, +1);
            if (y - h_ - 1 >= 0) add_row(y - h_ - 1, -1);
        }
        const long long rows = std::min(y + h_, height - 1) - std::max(y - h_, 0) + 1;
        long long running = 0;
        const int first = std::min(h_, width - 1);
        for (int x = 0; x <= first; ++x) running += columns_[x];
        for (int x = 0; x < width; ++x) {
            if (x > 0) {
                if (x + h_ < width) running += columns_[x + h_];
                if (x - h_ - 1 >= 0) running -= columns_[x - h_ - 1];
            }
            sums[x] = running;
            counts[x] = rows * (std::min(x + h_, width - 1) - std::max(x - h_, 0) + 1);
        }
    }

private:
    void add_row(int y, int sign)
    {
        const std::uint8_t* r = plane_.row(y);
        for (int x = 0; x < plane_.width(); ++x) columns_[x] += sign * r[x];
    }

    const Grid<std::uint8_t>& plane_;
    int h_;
    std::vector<long long> columns_;
    bool started_ = false;
};

// Rows worked as one item by the threads.
constexpr int band_rows = 32;

int bands(int height)
{
    return (height + band_rows - 1) / band_rows;
}

template <typename Passes>
void local_mean_threshold(const Grid<std::uint8_t>& plane, int h, Grid<std::uint8_t>& mask, Passes passes,
                          int threads)
{
    const int width = plane.width();
    const int height = plane.height();
    run_items(bands(height), threads, [&](int band, int) {
        WindowSums windows(plane, h);
        std::vector<long long> sums(width), counts(width);
        for (int y = band * band_rows; y < std::min(height, (band + 1) * band_rows); ++y) {
            windows.row(y, sums, counts);
            const std::uint8_t* values = plane.row(y);
            std::uint8_t* out = mask.row(y);
            for (int x = 0; x < width; ++x) {
                const double local_mean = static_cast<double>(sums[x]) / static_cast<double>(counts[x]);
                if (passes(local_mean, values[x])) out[x] = 0;
            }
        }
    });
}

}  // namespace

void scale_transforms(RadiusTransforms& t)
{
    const std::array<std::uint8_t, 256> minimum = scale_table(t.max_min);
    const std::array<std::uint8_t, 256> deviation = scale_table(t.max_scarto);
    for (std::uint8_t& v : t.minima_radianza.cells()) v = minimum[v];
    for (std::uint8_t& v : t.scarto_radianza.cells()) v = static_cast<std::uint8_t>(255 - deviation[v]);
}

void angular_threshold(const Grid<std::uint8_t>& direzione, int Q, double soglia_ang, double tolleranza,
                       Grid<std::uint8_t>& maschera_ang, int threads)
{
    const int width = direzione.width();
    const int height = direzione.height();
    // Directions are compared modulo 90 degrees, folded to 0..45: a window
    // pixel agrees with a pixel when its class (direction modulo 90) lies
    // within the tolerance of the pixel's class around the circle of 90
    // classes, that is in the cyclic interval class - reach .. class + reach
    // (all classes from a tolerance of 45 up, none below 0).
    constexpr int classes = 90;
    const int reach = tolleranza >= 45 ? 45 : tolleranza < 0 ? -1 : static_cast<int>(std::floor(tolleranza));
    auto cls = [](std::uint8_t a) { return static_cast<std::uint8_t>(a >= classes ? a - classes : a); };
    auto passes = [&](int agree, int window) {
        const double score = 255 - 255.0 * agree / static_cast<double>(window);
        return soglia_ang > score;
    };
    // Whether a full window passes, worked out once per count of agreeing
    // pixels; windows cut by the image edge are worked out in place.
    const long long full_window = (2LL * Q + 1) * (2LL * Q + 1);
    std::vector<char> full_passes;
    if (full_window <= (1 << 20))
        for (int agree = 0; agree <= full_window; ++agree)
            full_passes.push_back(passes(agree, static_cast<int>(full_window)));

    // A histogram of classes over the window, slid along each row of a band
    // of rows. The band's classes are held transposed, so that the window's
    // columns are read in order.
    run_items(bands(height), threads, [&](int band, int) {
        const int y0 = band * band_rows;
        const int y1 = std::min(height, y0 + band_rows);
        const int first_row = std::max(y0 - Q, 0);
        const int end_row = std::min(y1 + Q, height);
        Grid<std::uint8_t> columns(end_row - first_row, width);
        for (int y = first_row; y < end_row; ++y) {
            const std::uint8_t* row = direzione.row(y);
            for (int x = 0; x < width; ++x) columns(y - first_row, x) = cls(row[x]);
        }
        std::array<int, classes> histogram{};
        for (int y = y0; y < y1; ++y) {
            const int y_first = std::max(y - Q, 0);
            const int rows = std::min(y + Q, height - 1) - y_first + 1;
            auto add_column = [&](int x, int sign) {
                const std::uint8_t* column = columns.row(x) + (y_first - first_row);
                for (int i = 0; i < rows; ++i) histogram[column[i]] += sign;
            };
            histogram.fill(0);
            for (int x = 0; x <= std::min(Q, width - 1); ++x) add_column(x, +1);
            std::uint8_t* out = maschera_ang.row(y);
            for (int x = 0; x < width; ++x) {
                if (x > 0) {
                    if (x + Q < width) add_column(x + Q, +1);
                    if (x - Q - 1 >= 0) add_column(x - Q - 1, -1);
                }
                const int window = rows * (std::min(x + Q, width - 1) - std::max(x - Q, 0) + 1);
                int agree = 0;
                if (reach >= 45) {
                    agree = window;
                } else if (reach >= 0) {
                    const int own = columns(y - first_row, x);
                    int lo = own - reach;
                    int hi = own + reach;
                    if (lo < 0) {
                        for (int k = lo + classes; k < classes; ++k) agree += histogram[k];
                        lo = 0;
                    }
                    if (hi >= classes) {
                        for (int k = 0; k <= hi - classes; ++k) agree += histogram[k];
                        hi = classes - 1;
                    }
                    for (int k = lo; k <= hi; ++k) agree += histogram[k];
                }
                const bool pass = window == full_window && !full_passes.empty() ? full_passes[agree] : passes(agree, window);
                if (pass) out[x] = 0;
            }
        }
    });
}

void minimum_radiance_threshold(const Grid<std::uint8_t>& minima_radianza, int h, double soglia_min,
                                Grid<std::uint8_t>& maschera_minrad, int threads)
{
    local_mean_threshold(
        minima_radianza, h, maschera_minrad,
        [&](double local_mean, int value) { return local_mean * soglia_min > value; }, threads);
}

void radiance_deviation_threshold(const Grid<std::uint8_t>& scarto_radianza, int h, double soglia_var,
                                  Grid<std::uint8_t>& maschera_varrad, int threads)
{
    local_mean_threshold(
        scarto_radianza, h, maschera_varrad,
        [&](double local_mean, int value) { return local_mean * soglia_var > value && value <= 199; }, threads);
}

void combine_masks(const Grid<std::uint8_t>& maschera_ang, const Grid<std::uint8_t>& maschera_minrad,
                   const Grid<std::uint8_t>& maschera_varrad, Grid<std::uint8_t>& maschera_comb)
{
    const std::size_t n = maschera_comb.cells().size();
    for (std::size_t i = 0; i < n; ++i) {
        const bool all_pass =
            maschera_ang.cells()[i] == 0 && maschera_minrad.cells()[i] == 0 && maschera_varrad.cells()[i] == 0;
        maschera_comb.cells()[i] = all_pass ? 0 : 255;
    }
}
