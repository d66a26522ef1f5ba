#include "reference_zonrik.h"

#include "disegna.h"
#include "function_choice.h"
#include "reference_vectoriser.h"
#include "ring_outlines.h"
#include "zone_reports.h"

#include <cmath>

namespace {

constexpr float outside_zone = -999999.0f;

double clipped(double v, double lo, double hi)
{
    if (!(v >= lo)) return lo;
    return v > hi ? hi : v;
}

// The whole doubled grid holds the cells of the frame round the background
// and two more all round, the cell c at c + `offset`.
constexpr int offset = 3;

struct Loop {
    std::vector<int> vertices;
    bool closed;
};

// A ring's loops, found plainly: for every vertex the walked path is searched
// for a vertex at the same point; if there is one, the loop from it to here
// leaves the path.
std::vector<Loop> plain_loops(const PixelRecord& record, int first, int end)
{
    auto same_point = [&](int a, int b) {
        return record.points[2 * a] == record.points[2 * b] && record.points[2 * a + 1] == record.points[2 * b + 1];
    };
    std::vector<Loop> loops;
    std::vector<int> path;
    for (int v = first; v < end; ++v) {
        std::size_t place = 0;
        while (place < path.size() && !same_point(path[place], v)) ++place;
        if (place == path.size()) {
            path.push_back(v);
            continue;
        }
        Loop loop{std::vector<int>(path.begin() + static_cast<long>(place), path.end()), true};
        loop.vertices.push_back(v);
        loops.push_back(loop);
        path.resize(place + 1);
    }
    loops.push_back({path, false});
    return loops;
}

// Marks one loop alone on the whole doubled grid by the one-ring procedure
// and flips the parity of the pixels it marks.
void mark_whole(const LoopOutline& outline, int width, int height, Grid<std::uint8_t>& parity)
{
    const CellFrame frame = cell_frame(width, height);
    Grid<std::uint8_t> Matrice_doppia(static_cast<int>(frame.x_hi) + offset + 3, static_cast<int>(frame.y_hi) + offset + 3,
                                      0);
    auto draw = [&](const std::int64_t* c) {
        disegna(static_cast<int>(c[0] + offset), static_cast<int>(c[1] + offset), static_cast<int>(c[2] + offset),
                static_cast<int>(c[3] + offset), Matrice_doppia);
    };
    for (std::size_t j = 0; j + 3 < outline.vertices.size(); j += 2) draw(&outline.vertices[j]);
    if (outline.cut_off) {
        for (int y = 0; y < Matrice_doppia.height(); ++y)
            for (int x = 0; x < Matrice_doppia.width(); ++x)
                if (x - offset < frame.x_lo || x - offset > frame.x_hi || y - offset < frame.y_lo ||
                    y - offset > frame.y_hi)
                    Matrice_doppia(x, y) = 0;
        for (std::size_t j = 0; j + 3 < outline.runs.size(); j += 4) draw(&outline.runs[j]);
    }

    // The flood from the grid's corner, sweep after sweep until nothing
    // changes.
    Matrice_doppia(0, 0) = 3;
    bool check_flood = true;
    while (check_flood) {
        check_flood = false;
        for (int y = 0; y < Matrice_doppia.height(); ++y)
            for (int x = 0; x < Matrice_doppia.width(); ++x) {
                if (Matrice_doppia(x, y) != 3) continue;
                Matrice_doppia(x, y) = 9;
                const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
                for (int n = 0; n < 4; ++n)
                    if (Matrice_doppia.contains(nx[n], ny[n]) && Matrice_doppia(nx[n], ny[n]) == 0) {
                        Matrice_doppia(nx[n], ny[n]) = 3;
                        check_flood = true;
                    }
            }
    }
    auto open = [&](int x, int y) { return Matrice_doppia(x, y) == 0 || Matrice_doppia(x, y) == 1; };
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px) {
            const int x = 2 * px + 1 + offset, y = 2 * py + 1 + offset;
            if (open(x, y) && open(x + 1, y) && open(x, y + 1) && open(x + 1, y + 1)) parity(px, py) ^= 1;
        }
}

// The zone of one record on the whole background: 1 for its pixels.
Grid<std::uint8_t> zone_whole(const PixelRecord& record, int width, int height)
{
    Grid<std::uint8_t> parity(width, height, 0);
    const auto& box = record.box;
    if (!(box[0] <= box[2] && box[1] <= box[3])) return parity;
    LoopOutline outline;
    std::vector<double> scratch;
    const int numparts = static_cast<int>(record.parts.size());
    for (int i = 0; i < numparts; ++i) {
        const int first = record.parts[i];
        const int end = i + 1 < numparts ? record.parts[i + 1] : record.numpoints();
        if (end - first < 2) continue;
        for (const Loop& loop : plain_loops(record, first, end)) {
            std::vector<double> xy;
            for (int v : loop.vertices) {
                xy.push_back(clipped(record.points[2 * v], box[0], box[2]));
                xy.push_back(clipped(record.points[2 * v + 1], box[1], box[3]));
            }
            outline_loop(xy, loop.closed, width, height, outline, scratch);
            mark_whole(outline, width, height, parity);
        }
    }
    return parity;
}

}  // namespace

std::vector<std::pair<int, int>> reference_zone(const PixelRecord& record, int width, int height)
{
    const Grid<std::uint8_t> parity = zone_whole(record, width, height);
    std::vector<std::pair<int, int>> zone;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (parity(x, y)) zone.emplace_back(x, y);
    return zone;
}

ReferenceZonrik::ReferenceZonrik(const Grid<float>& background, int f_type, CoverThresholds thresholds)
    : Matrice_output(background.width(), background.height(), 0.0f),
      Immagine_bmp(background.width(), background.height(), 255),
      Matrice_background(background),
      f_type(f_type),
      thresholds(thresholds),
      Matrice(background.width(), background.height(), outside_zone)
{
}

std::string ReferenceZonrik::process(Console&, const PixelRecord& record)
{
    const int width = Matrice_background.width(), height = Matrice_background.height();
    const Grid<std::uint8_t> Matrice_out = zone_whole(record, width, height);

    std::vector<float> v;
    std::vector<std::pair<int, int>> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (Matrice_out(x, y)) {
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
            if (Matrice(x, height - 1 - y) != outside_zone || Matrice_out(x, y)) classes(x, y) = 0;
    const RecordArrays traced = reference_trace_first_blob(classes, 0);
    records.part.insert(records.part.end(), traced.part.begin(), traced.part.end());
    records.point.insert(records.point.end(), traced.point.begin(), traced.point.end());

    for (const auto& [x, y] : pixels) Matrice(x, height - 1 - y) = outside_zone;
    return line;
}
