#include "random_images.h"

#include <algorithm>
#include <cmath>

namespace testimages {

namespace {

// Sets the pixels within half_width of the segment to value.
void draw_line(Grid<std::uint8_t>& g, double x0, double y0, double x1, double y1, double half_width,
               std::uint8_t value)
{
    const double len2 = (x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0);
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x) {
            double t = len2 > 0 ? ((x - x0) * (x1 - x0) + (y - y0) * (y1 - y0)) / len2 : 0;
            t = std::clamp(t, 0.0, 1.0);
            const double dx = x - (x0 + t * (x1 - x0));
            const double dy = y - (y0 + t * (y1 - y0));
            if (dx * dx + dy * dy <= half_width * half_width) g(x, y) = value;
        }
}

}  // namespace

Grid<std::uint8_t> grey_with_lines(int width, int height, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> background(120, 200);
    Grid<std::uint8_t> g(width, height);
    for (auto& v : g.cells()) v = static_cast<std::uint8_t>(background(rng));
    std::uniform_real_distribution<double> xs(-5, width + 5), ys(-5, height + 5), hw(0.4, 1.6);
    std::uniform_int_distribution<int> dark(20, 80);
    const int lines = 2 + static_cast<int>(rng() % 4);
    for (int i = 0; i < lines; ++i)
        draw_line(g, xs(rng), ys(rng), xs(rng), ys(rng), hw(rng), static_cast<std::uint8_t>(dark(rng)));
    return g;
}

Grid<std::uint8_t> noise(int width, int height, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Grid<std::uint8_t> g(width, height);
    for (auto& v : g.cells()) v = static_cast<std::uint8_t>(rng() & 0xFF);
    return g;
}

Grid<std::uint8_t> line_mask(int width, int height, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Grid<std::uint8_t> g(width, height, 255);
    std::uniform_real_distribution<double> xs(-3, width + 3), ys(-3, height + 3), hw(0.5, 3.0);
    const int lines = 2 + static_cast<int>(rng() % 5);
    for (int i = 0; i < lines; ++i) {
        if (rng() % 3 == 0) {  // an axis-parallel band
            const double y = ys(rng);
            draw_line(g, xs(rng), y, xs(rng), y, hw(rng), 0);
        } else {
            draw_line(g, xs(rng), ys(rng), xs(rng), ys(rng), hw(rng), 0);
        }
    }
    // Notches, gaps and holes: background pixels and short runs punched in.
    const int punches = static_cast<int>(width * height / 60);
    for (int i = 0; i < punches; ++i) {
        const int x = static_cast<int>(rng() % width), y = static_cast<int>(rng() % height);
        const int len = 1 + static_cast<int>(rng() % 4);
        const bool across = rng() % 2;
        for (int k = 0; k < len; ++k) {
            const int xx = across ? x + k : x, yy = across ? y : y + k;
            if (g.contains(xx, yy)) g(xx, yy) = 255;
        }
    }
    // A few stray line pixels and small blobs.
    for (int i = 0; i < punches / 3; ++i) g(static_cast<int>(rng() % width), static_cast<int>(rng() % height)) = 0;
    return g;
}

Grid<std::uint8_t> speckle_mask(int width, int height, double chance, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::bernoulli_distribution line(chance);
    Grid<std::uint8_t> g(width, height, 255);
    for (auto& v : g.cells()) v = line(rng) ? 0 : 255;
    return g;
}

}  // namespace testimages
