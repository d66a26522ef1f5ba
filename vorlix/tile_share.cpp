#include "tile_share.h"

#include "file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

RadiusStatistics& entry_for(std::vector<RadiusStatistics>& list, int raggio)
{
    for (RadiusStatistics& s : list)
        if (s.raggio == raggio) return s;
    list.push_back(RadiusStatistics{});
    list.back().raggio = raggio;
    return list.back();
}

const RadiusStatistics* find_entry(const std::vector<RadiusStatistics>& list, int raggio)
{
    for (const RadiusStatistics& s : list)
        if (s.raggio == raggio) return &s;
    return nullptr;
}

// The window clipped to the grid, as column and row ranges.
struct Span {
    int x0, x1, y0, y1;
};
Span clipped(const PixelWindow& w, int width, int height)
{
    return {std::max(0, w.x), std::min(width, w.x + w.width), std::max(0, w.y), std::min(height, w.y + w.height)};
}

}  // namespace

void TileShare::take_maxima(RadiusTransforms& t)
{
    if (core) {
        RadiusStatistics& s = entry_for(measured, t.raggio);
        const Span span = clipped(*core, t.minima_radianza.width(), t.minima_radianza.height());
        for (int y = span.y0; y < span.y1; ++y)
            for (int x = span.x0; x < span.x1; ++x) {
                s.max_min = std::max<int>(s.max_min, t.minima_radianza(x, y));
                s.max_scarto = std::max<int>(s.max_scarto, t.scarto_radianza(x, y));
            }
    }
    if (const RadiusStatistics* whole = find_entry(given, t.raggio)) {
        t.max_min = whole->max_min;
        t.max_scarto = whole->max_scarto;
    } else if (!given.empty()) {
        // A radius without an entry had no pixel in any tile's core worth a
        // value: nothing anywhere above 0.
        t.max_min = 0;
        t.max_scarto = 0;
    }
}

GlobalMeans TileShare::take_means(int raggio, const Grid<std::uint8_t>& comb, const Grid<std::uint8_t>& immagine,
                                  const RadiusTransforms& t, const GlobalMeans& own)
{
    if (core) {
        RadiusStatistics& s = entry_for(measured, raggio);
        s.has_sums = true;
        const Span span = clipped(*core, comb.width(), comb.height());
        for (int y = span.y0; y < span.y1; ++y)
            for (int x = span.x0; x < span.x1; ++x) {
                if (comb(x, y) != 0) continue;
                ++s.count;
                s.source += immagine(x, y);
                s.minimum += t.minima_radianza(x, y);
                s.deviation += t.scarto_radianza(x, y);
            }
    }
    const RadiusStatistics* whole = find_entry(given, raggio);
    if (!whole || !whole->has_sums) return own;
    // As the whole image's means are taken from its sums.
    GlobalMeans means;
    if (whole->count == 0) return means;
    const double count = static_cast<double>(whole->count);
    means.immagine = static_cast<double>(whole->source) / count;
    means.minima_radianza = static_cast<double>(whole->minimum) / count;
    means.scarto_radianza = static_cast<double>(whole->deviation) / count;
    return means;
}

std::optional<PixelWindow> parse_pixel_window(const std::string& text)
{
    PixelWindow w;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &w.x, &w.y, &w.width, &w.height, &end) != 4) return std::nullopt;
    if (w.x < 0 || w.y < 0 || w.width < 1 || w.height < 1) return std::nullopt;
    return w;
}

std::optional<std::vector<RadiusStatistics>> read_statistics(const std::string& path, std::string& problem)
{
    std::ifstream in(path);
    if (!in) {
        problem = "\"" + path + "\" cannot be read";
        return std::nullopt;
    }
    std::vector<RadiusStatistics> list;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::vector<long long> values;
        long long v = 0;
        while (words >> v) values.push_back(v);
        const bool whole_line = words.eof();
        if (values.empty() && whole_line) continue;
        const bool fits = values.size() >= 3 && values[0] >= INT_MIN && values[0] <= INT_MAX && values[1] >= 0 &&
                          values[1] <= 255 && values[2] >= 0 && values[2] <= 255;
        if (!whole_line || !fits || (values.size() != 3 && values.size() != 7)) {
            problem = "line " + std::to_string(number) + " of \"" + path +
                      "\" is not \"raggio max_min max_scarto [count source minimum deviation]\"";
            return std::nullopt;
        }
        RadiusStatistics s;
        s.raggio = static_cast<int>(values[0]);
        s.max_min = static_cast<int>(values[1]);
        s.max_scarto = static_cast<int>(values[2]);
        if (values.size() == 7) {
            s.has_sums = true;
            s.count = values[3];
            s.source = values[4];
            s.minimum = values[5];
            s.deviation = values[6];
        }
        list.push_back(s);
    }
    return list;
}

std::error_code write_statistics(const std::string& path, const std::vector<RadiusStatistics>& statistics)
{
    WrittenFile file(path);
    if (!file.good()) return file.finish();
    for (const RadiusStatistics& s : statistics) {
        std::fprintf(file.get(), "%d %d %d", s.raggio, s.max_min, s.max_scarto);
        if (s.has_sums) std::fprintf(file.get(), " %lld %lld %lld %lld", s.count, s.source, s.minimum, s.deviation);
        std::fprintf(file.get(), "\n");
    }
    return file.finish();
}
