// Writes a synthetic aerial-like grey image with a network of thin dark
// roads, as a single-band 8-bit RAW file (rows from the top, no header):
// fields of different brightness with a soft texture and sensor noise,
// crossed by straight and gently curved roads two to four pixels wide.
//
//   vorlix_gen <width> <height> <output.raw> [seed] [tile]
//
// With a tile size the image is a mosaic of independent scenes of that size
// (seeds seed, seed + 1, ... row by row), so its roads keep the lengths and
// the density of one scene whatever the image size, as at a fixed ground
// resolution; without one the roads of the single scene grow with it. The
// same arguments always give the same image.

#include "grid.h"
#include "raw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A small deterministic generator (64-bit linear congruential, high bits).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 2862933555777941757ULL + 3037000493ULL) {}

    double uniform()  // in [0, 1)
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return static_cast<int>(uniform() * n); }

private:
    std::uint64_t state_;
};

struct Image {
    int width, height;
    std::vector<double> grey;
    double& at(int x, int y) { return grey[static_cast<std::size_t>(y) * width + x]; }
};

// Fields: a coarse grid of parcels, each with its own brightness, cut at
// jittered boundaries.
void paint_fields(Image& img, Random& rnd)
{
    const int cell = std::max(16, std::min(img.width, img.height) / 6);
    const int cols = img.width / cell + 2;
    const int rows = img.height / cell + 2;
    std::vector<double> level(static_cast<std::size_t>(cols) * rows);
    for (double& v : level) v = rnd.uniform(105, 190);
    std::vector<int> x_cut(cols + 1), y_cut(rows + 1);
    for (int i = 0; i <= cols; ++i) x_cut[i] = i * cell + rnd.below(cell / 3);
    for (int j = 0; j <= rows; ++j) y_cut[j] = j * cell + rnd.below(cell / 3);
    for (int y = 0; y < img.height; ++y) {
        int j = 0;
        while (j + 1 < rows && y >= y_cut[j + 1]) ++j;
        for (int x = 0; x < img.width; ++x) {
            int i = 0;
            while (i + 1 < cols && x >= x_cut[i + 1]) ++i;
            img.at(x, y) = level[static_cast<std::size_t>(j) * cols + i];
        }
    }
}

// A soft texture (sums of smooth waves) and per-pixel sensor noise.
void add_texture(Image& img, Random& rnd)
{
    double fx[4], fy[4], phase[4];
    for (int k = 0; k < 4; ++k) {
        fx[k] = rnd.uniform(0.01, 0.08);
        fy[k] = rnd.uniform(0.01, 0.08);
        phase[k] = rnd.uniform(0, 6.283);
    }
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            double wave = 0;
            for (int k = 0; k < 4; ++k) wave += std::sin(fx[k] * x + fy[k] * y + phase[k]);
            img.at(x, y) += 4 * wave + rnd.uniform(-7, 7);
        }
}

// Darkens the pixels within half_width of the polyline through the points.
void paint_road(Image& img, const std::vector<double>& xs, const std::vector<double>& ys, double half_width,
                double level)
{
    for (std::size_t s = 0; s + 1 < xs.size(); ++s) {
        const double x0 = xs[s], y0 = ys[s], x1 = xs[s + 1], y1 = ys[s + 1];
        const double len2 = (x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0);
        const int xa = std::max(0, static_cast<int>(std::floor(std::min(x0, x1) - half_width - 1)));
        const int xb = std::min(img.width - 1, static_cast<int>(std::ceil(std::max(x0, x1) + half_width + 1)));
        const int ya = std::max(0, static_cast<int>(std::floor(std::min(y0, y1) - half_width - 1)));
        const int yb = std::min(img.height - 1, static_cast<int>(std::ceil(std::max(y0, y1) + half_width + 1)));
        for (int y = ya; y <= yb; ++y)
            for (int x = xa; x <= xb; ++x) {
                double t = len2 > 0 ? ((x - x0) * (x1 - x0) + (y - y0) * (y1 - y0)) / len2 : 0;
                t = std::min(1.0, std::max(0.0, t));
                const double dx = x - (x0 + t * (x1 - x0));
                const double dy = y - (y0 + t * (y1 - y0));
                if (dx * dx + dy * dy <= half_width * half_width) img.at(x, y) = level + (img.at(x, y) - level) * 0.15;
            }
    }
}

// Roads: a few long straight ones across the image, a loose grid of local
// roads, and gently curved lanes.
void paint_roads(Image& img, Random& rnd)
{
    const double w = img.width, h = img.height;
    const int scale = std::max(1, std::min(img.width, img.height) / 128);
    for (int k = 0; k < 2 + scale; ++k) {
        const bool across = rnd.uniform() < 0.5;
        std::vector<double> xs{across ? 0.0 : rnd.uniform(0, w), across ? w - 1 : rnd.uniform(0, w)};
        std::vector<double> ys{across ? rnd.uniform(0, h) : 0.0, across ? rnd.uniform(0, h) : h - 1};
        paint_road(img, xs, ys, rnd.uniform(1.2, 2.0), rnd.uniform(35, 60));
    }
    const double angle = rnd.uniform(-0.3, 0.3);
    const double spacing = std::max(40.0, std::min(w, h) / 5);
    for (double offset = rnd.uniform(10, spacing); offset < std::max(w, h); offset += spacing * rnd.uniform(0.7, 1.3)) {
        const double c = std::cos(angle), s = std::sin(angle);
        paint_road(img, {offset, offset - s * h}, {0, h - 1}, rnd.uniform(0.8, 1.4), rnd.uniform(45, 75));
        paint_road(img, {0, w - 1}, {offset, offset + s * w * c}, rnd.uniform(0.8, 1.4), rnd.uniform(45, 75));
    }
    for (int k = 0; k < 2 * scale; ++k) {
        std::vector<double> xs, ys;
        const double x0 = rnd.uniform(0, w), y0 = rnd.uniform(0, h);
        const double heading = rnd.uniform(0, 6.283), bend = rnd.uniform(-0.004, 0.004);
        const double length = rnd.uniform(0.3, 0.8) * std::min(w, h);
        for (double t = 0; t <= length; t += 4) {
            xs.push_back(x0 + t * std::cos(heading + bend * t));
            ys.push_back(y0 + t * std::sin(heading + bend * t));
        }
        paint_road(img, xs, ys, rnd.uniform(0.8, 1.3), rnd.uniform(45, 70));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: vorlix_gen <width> <height> <output.raw> [seed] [tile]\n");
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    const std::uint64_t seed = argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 1;
    const int tile = argc > 5 ? std::atoi(argv[5]) : 0;
    if (width < 1 || height < 1 || tile < 0) {
        std::fprintf(stderr, "vorlix_gen: width and height must be positive, a tile size not negative\n");
        return 2;
    }
    const int tile_width = tile > 0 ? tile : width;
    const int tile_height = tile > 0 ? tile : height;
    Grid<std::uint8_t> grey(width, height);
    std::uint64_t scene_seed = seed;
    for (int y0 = 0; y0 < height; y0 += tile_height) {
        for (int x0 = 0; x0 < width; x0 += tile_width) {
            Random rnd(scene_seed++);
            const int w = std::min(tile_width, width - x0);
            const int h = std::min(tile_height, height - y0);
            Image img{w, h, std::vector<double>(static_cast<std::size_t>(w) * h)};
            paint_fields(img, rnd);
            paint_roads(img, rnd);
            add_texture(img, rnd);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    grey(x0 + x, y0 + y) = static_cast<unsigned char>(
                        std::lround(std::min(255.0, std::max(1.0, img.at(x, y)))));
        }
    }
    if (write_raw_bytes(argv[3], grey)) {
        std::fprintf(stderr, "vorlix_gen: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
