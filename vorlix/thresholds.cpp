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
