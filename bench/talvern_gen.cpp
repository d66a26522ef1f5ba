// Writes a synthetic scene for the height-estimator benchmark: a building
// class map (red on black) and a shadow class map (blue on black) of
// size x size pixels, with about `buildings` buildings of varied shapes
// (rectangles, L, T and U shapes, courtyards, pairs touching at a corner)
// laid out on a jittered grid, each casting a shadow of its own length in
// the sun direction (y counted up the picture, angles from +x towards +y).
// Usage: talvern_gen <buildings.bmp> <shadows.bmp> <size> <buildings> <azimuth>
#include "bmp_file.h"
#include "grid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr std::uint8_t ground = 0, building = 1, shadow = 2;

std::array<std::uint8_t, 1024> map_palette()
{
    std::array<std::uint8_t, 1024> palette{};
    for (int i = 0; i < 256; ++i) palette[4 * i] = palette[4 * i + 1] = palette[4 * i + 2] = static_cast<std::uint8_t>(i);
    palette[4 * building] = 0, palette[4 * building + 1] = 0, palette[4 * building + 2] = 255;  // red
    palette[4 * shadow] = 255, palette[4 * shadow + 1] = 0, palette[4 * shadow + 2] = 0;       // blue
    return palette;
}

struct Offset {
    int dx, dy;
};

// Offsets whose pixel centre lies in the unit pixel square swept along
// t * (vx, vy), 0 <= t <= 1: the shadow of one roof pixel.
std::vector<Offset> shadow_stamp(double vx, double vy)
{
    std::vector<Offset> stamp;
    const int reach = static_cast<int>(std::ceil(std::max(std::fabs(vx), std::fabs(vy)))) + 1;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            double lo = 0, hi = 1;
            bool inside = true;
            for (const auto& [p, d] : {std::pair<double, double>{dx, vx}, {dy, vy}}) {
                if (std::fabs(d) < 1e-12) {
                    inside = inside && std::fabs(p) <= 0.5;
                    continue;
                }
                double t1 = (p - 0.5) / d, t2 = (p + 0.5) / d;
                if (t1 > t2) std::swap(t1, t2);
                lo = std::max(lo, t1);
                hi = std::min(hi, t2);
            }
            if (inside && lo <= hi) stamp.push_back({dx, dy});
        }
    return stamp;
}

// One building's footprint in a cell, on a local grid (x right, y up).
Grid<std::uint8_t> footprint(std::mt19937& rng)
{
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int w = uniform(8, 30), h = uniform(8, 30);
    Grid<std::uint8_t> f(w, h, 0);
    auto box = [&](int x0, int y0, int x1, int y1) {
        for (int y = std::max(0, y0); y <= std::min(h - 1, y1); ++y)
            for (int x = std::max(0, x0); x <= std::min(w - 1, x1); ++x) f(x, y) = 1;
    };
    const int arm = std::max(3, std::min(w, h) / 3);
    switch (uniform(0, 5)) {
    case 0: box(0, 0, w - 1, h - 1); break;
    case 1: box(0, 0, arm - 1, h - 1), box(0, 0, w - 1, arm - 1); break;                          // L
    case 2: box(0, h - arm, w - 1, h - 1), box(w / 2 - arm / 2, 0, w / 2 + arm / 2, h - 1); break; // T
    case 3: box(0, 0, arm - 1, h - 1), box(w - arm, 0, w - 1, h - 1), box(0, 0, w - 1, arm - 1); break;  // U
    case 4:                                                                                        // courtyard
        box(0, 0, w - 1, h - 1);
        for (int y = arm; y < h - arm; ++y)
            for (int x = arm; x < w - arm; ++x) f(x, y) = 0;
        break;
    default: box(0, 0, w / 2 - 1, h / 2 - 1), box(w / 2, h / 2, w - 1, h - 1); break;  // corner pair
    }
    return f;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: talvern_gen <buildings.bmp> <shadows.bmp> <size> <buildings> <azimuth>\n");
        return 1;
    }
    const int size = std::atoi(argv[3]);
    const int wanted = std::max(1, std::atoi(argv[4]));
    const double azimuth = std::atof(argv[5]) * pi / 180;
    const int cell = std::max(48, static_cast<int>(size / std::sqrt(static_cast<double>(wanted))));
    const int cells = size / cell;

    Grid<std::uint8_t> buildings(size, size, ground), shadows(size, size, ground);  // y = 0 the bottom row
    std::mt19937 rng(4096);
    int count = 0;
    for (int cy = 0; cy < cells; ++cy)
        for (int cx = 0; cx < cells; ++cx) {
            const Grid<std::uint8_t> f = footprint(rng);
            const double length = std::uniform_real_distribution<double>(3, 16)(rng);
            const std::vector<Offset> stamp = shadow_stamp(length * std::cos(azimuth), length * std::sin(azimuth));
            const int x0 = cx * cell + (cell - f.width()) / 2, y0 = cy * cell + (cell - f.height()) / 2;
            for (int y = 0; y < f.height(); ++y)
                for (int x = 0; x < f.width(); ++x) {
                    if (!f(x, y)) continue;
                    for (const Offset& o : stamp) {
                        const int sx = x0 + x + o.dx, sy = y0 + y + o.dy;
                        if (shadows.contains(sx, sy)) shadows(sx, sy) = shadow;
                    }
                }
            for (int y = 0; y < f.height(); ++y)
                for (int x = 0; x < f.width(); ++x)
                    if (f(x, y)) buildings(x0 + x, y0 + y) = building, shadows(x0 + x, y0 + y) = ground;
            ++count;
        }
    std::printf("%d buildings on %d x %d pixels\n", count, size, size);

    const auto head = bmp_header_and_palette(size, size, map_palette());
    auto rows_of = [&](const Grid<std::uint8_t>& map) {
        return [&map, size](int r, unsigned char* out) { std::copy(map.row(r), map.row(r) + size, out); };
    };
    if (!write_bmp_file(argv[1], head, size, size, rows_of(buildings))) return 1;
    if (!write_bmp_file(argv[2], head, size, size, rows_of(shadows))) return 1;
    return 0;
}
