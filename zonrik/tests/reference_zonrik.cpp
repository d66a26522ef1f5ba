#include "reference_zonrik.h"

#include "disegna.h"
#include "function_choice.h"
#include "reference_vectoriser.h"
#include "zone_reports.h"

#include <cmath>

namespace {

constexpr float outside_zone = -999999.0f;

double clipped(double v, double lo, double hi)
{
    if (!(v >= lo)) return lo;
    return v > hi ? hi : v;
}

// Rasterises one record into Matrice_out (-2 in the zone) using the whole
// doubled grid; returns the statistic window x0 <= x < x1, y0 <= y < y1.
struct Window {
    int x0, y0, x1, y1;
};

Window rasterise_whole(const PixelRecord& record, Grid<std::uint8_t>& Matrice_doppia, Grid<std::int16_t>& Matrice_out)
{
    const auto& box = record.box;
    if (box[0] > box[2] || box[1] > box[3]) return {0, 0, 0, 0};
    const int x0 = static_cast<int>(box[0]), x1 = static_cast<int>(box[2]);
    const int y0 = static_cast<int>(box[1]), y1 = static_cast<int>(box[3]);
    const int numparts = static_cast<int>(record.parts.size());
    std::vector<std::int32_t> parts = record.parts;
    parts.push_back(record.numpoints());
    auto cell_x = [&](int j) { return 2 * static_cast<int>(clipped(record.points[2 * j], box[0], box[2])) + 1; };
    auto cell_y = [&](int j) { return 2 * static_cast<int>(clipped(record.points[2 * j + 1], box[1], box[3])) + 1; };

    for (int i = 0; i < numparts; ++i) {
        for (int j = parts[i]; j <= parts[i + 1] - 2; ++j)
            disegna(cell_x(j), cell_y(j), cell_x(j + 1), cell_y(j + 1), Matrice_doppia);

        auto in_window = [&](int x, int y) { return x >= 2 * x0 && x <= 2 * x1 + 2 && y >= 2 * y0 && y <= 2 * y1 + 2; };
        Matrice_doppia(2 * x0, 2 * y0) = 3;
        bool check_flood = true;
        while (check_flood) {
            check_flood = false;
            for (int y = 2 * y0; y <= 2 * y1 + 2; ++y)
                for (int x = 2 * x0; x <= 2 * x1 + 2; ++x) {
                    if (Matrice_doppia(x, y) != 3) continue;
                    Matrice_doppia(x, y) = 9;
                    const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
                    for (int n = 0; n < 4; ++n)
                        if (in_window(nx[n], ny[n]) && Matrice_doppia(nx[n], ny[n]) == 0) {
                            Matrice_doppia(nx[n], ny[n]) = 3;
                            check_flood = true;
                        }
                }
        }
        auto open = [&](int x, int y) { return Matrice_doppia(x, y) == 0 || Matrice_doppia(x, y) == 1; };
        for (int px = x0; px <= x1; ++px)
            for (int py = y0; py <= y1; ++py)
                if (open(2 * px + 1, 2 * py + 1) && open(2 * px + 2, 2 * py + 1) && open(2 * px + 1, 2 * py + 2) &&
                    open(2 * px + 2, 2 * py + 2))
                    Matrice_out(px, py) = i == 0 ? -2 : -1;
        for (int y = 2 * y0; y <= 2 * y1 + 2; ++y)
            for (int x = 2 * x0; x <= 2 * x1 + 2; ++x) Matrice_doppia(x, y) = 0;
    }
    return {x0, y0, x1, y1};
}

}  // namespace

std::vector<std::pair<int, int>> reference_zone(const PixelRecord& record, int width, int height)
{
    Grid<std::uint8_t> Matrice_doppia(2 * width + 3, 2 * height + 3, 0);
    Grid<std::int16_t> Matrice_out(width, height, -1);
    const Window w = rasterise_whole(record, Matrice_doppia, Matrice_out);
    std::vector<std::pair<int, int>> zone;
    for (int y = w.y0; y < w.y1; ++y)
        for (int x = w.x0; x < w.x1; ++x)
            if (Matrice_out(x, y) == -2) zone.emplace_back(x, y);
    // Nothing may be marked outside the statistic window.
    int marked = 0;
    for (auto v : Matrice_out.cells()) marked += v == -2;
    if (marked != static_cast<int>(zone.size())) zone.emplace_back(-1, -1);
    return zone;
}

ReferenceZonrik::ReferenceZonrik(const Grid<float>& background, int f_type, CoverThresholds thresholds)
    : Matrice_output(background.width(), background.height(), 0.0f),
      Immagine_bmp(background.width(), background.height(), 255),
      Matrice_background(background),
      f_type(f_type),
      thresholds(thresholds),
      Matrice_doppia(2 * background.width() + 3, 2 * background.height() + 3, 0),
      Matrice_out(background.width(), background.height(), -1),
      Matrice(background.width(), background.height(), outside_zone)
{
}

std::string ReferenceZonrik::process(Console&, const PixelRecord& record)
{
    const int width = Matrice_background.width(), height = Matrice_background.height();
    const Window w = rasterise_whole(record, Matrice_doppia, Matrice_out);

    std::vector<float> v;
    std::vector<std::pair<int, int>> pixels;
    for (int y = w.y0; y < w.y1; ++y)
        for (int x = w.x0; x < w.x1; ++x)
            if (Matrice_out(x, y) == -2) {
                v.push_back(Matrice_background(x, y));
                pixels.emplace_back(x, y);
            }

    std::string line;
    float value = 0;
    switch (f_type) {
    case function_code::mean: value = zone_mean(v); break;
    case function_code::variance: value = zone_variance(v); break;
    case function_code::log_mean: value = zone_log_mean(v); break;
    case function_code::log_variance: value = zone_log_variance(v); break;
    case function_code::standard_deviation: value = std::sqrt(zone_variance(v)); break;
    case function_code::cover: {
        ++sequenziale;
        const ZoneCover cover = zone_cover(v, thresholds, static_cast<std::uint8_t>(valore_incrementale % 16));
        for (std::size_t i = 0; i < pixels.size(); ++i) Immagine_bmp(pixels[i].first, pixels[i].second) = cover.indices[i];
        line = cover_report_line(sequenziale, cover);
        ++valore_incrementale;
        value = cover.percentage;
        break;
    }
    default: {
        ++sequenziale;
        const ZoneTemperature t = zone_temperature(v);
        line = temperature_report_line(sequenziale, t);
        value = t.mean;
    }
    }

    for (const auto& [x, y] : pixels) {
        Matrice(x, height - 1 - y) = value;
        Matrice_output(x, y) = value;
    }
    valori_db.push_back(value);

    // caricamento: every cell of Matrice that is not the outside mark, NaN
    // included; a zone whose value is the mark itself keeps its own pixels.
    Grid<std::uint8_t> classes(width, height, test_no_class);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (Matrice(x, height - 1 - y) != outside_zone || Matrice_out(x, y) == -2) classes(x, y) = 0;
    const RecordArrays traced = reference_trace_first_blob(classes, 0);
    records.part.insert(records.part.end(), traced.part.begin(), traced.part.end());
    records.point.insert(records.point.end(), traced.point.begin(), traced.point.end());

    for (int y = w.y0; y < w.y1; ++y)
        for (int x = w.x0; x < w.x1; ++x) {
            Matrice(x, height - 1 - y) = outside_zone;
            if (Matrice_out(x, y) == -2) Matrice_out(x, y) = -1;
        }
    return line;
}
