// Writes the demo's sample data into a folder: a grey aerial-like image of a
// small town (bright roofs, darker streets, vegetation texture), and a class
// map of a town's land cover (roofs, parks with ponds, a river) on a grey
// unclassified ground.
// Usage: make_samples <folder>
#include "bmp.h"
#include "bmp_file.h"
#include "console.h"
#include "grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

namespace {

Grid<std::uint8_t> aerial_image(int size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    Grid<std::uint8_t> image(size, size);
    // Ground with a gentle gradient and texture.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) image(x, y) = static_cast<std::uint8_t>(90 + (x + y) * 40 / (2 * size) + noise(rng));
    // A grid of streets.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (x % 128 < 10 || y % 128 < 10) image(x, y) = static_cast<std::uint8_t>(60 + noise(rng) / 2);
    // Rectangular roofs between the streets.
    std::uniform_int_distribution<int> offset(14, 40), extent(20, 60), roof(170, 240);
    for (int by = 0; by < size / 128; ++by)
        for (int bx = 0; bx < size / 128; ++bx)
            for (int k = 0; k < 2; ++k) {
                const int x0 = bx * 128 + offset(rng) + k * 50, y0 = by * 128 + offset(rng);
                const int w = extent(rng) / (k + 1), h = extent(rng);
                const int level = roof(rng);
                for (int y = y0; y < y0 + h && y < size; ++y)
                    for (int x = x0; x < x0 + w && x < size; ++x) image(x, y) = static_cast<std::uint8_t>(level);
            }
    return image;
}

// Land cover classes on the palette of the class map.
enum LandCover : std::uint8_t { ground = 0, roof = 1, courtyard_roof = 2, park = 3, water = 4 };

std::array<std::uint8_t, 1024> land_cover_palette()
{
    std::array<std::uint8_t, 1024> palette{};
    const std::uint32_t colours[5] = {0x808080, 0xC04030, 0xE08040, 0x40A040, 0x3060D0};  // 0xRRGGBB
    for (int i = 0; i < 5; ++i) {
        palette[4 * i] = static_cast<std::uint8_t>(colours[i]);
        palette[4 * i + 1] = static_cast<std::uint8_t>(colours[i] >> 8);
        palette[4 * i + 2] = static_cast<std::uint8_t>(colours[i] >> 16);
    }
    return palette;
}

// Blocks of houses between streets, some built round a courtyard, parks with
// a pond and an islet, and a river across the town.
Grid<std::uint8_t> land_cover_map(int size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Grid<std::uint8_t> map(size, size, ground);
    auto fill = [&](int x0, int y0, int w, int h, std::uint8_t c) {
        for (int y = std::max(0, y0); y < std::min(size, y0 + h); ++y)
            for (int x = std::max(0, x0); x < std::min(size, x0 + w); ++x) map(x, y) = c;
    };
    const int block = 64;
    for (int by = 0; by < size / block; ++by)
        for (int bx = 0; bx < size / block; ++bx) {
            const int x0 = bx * block + 8, y0 = by * block + 8;
            if (uniform(0, 4) == 0) {  // a park with a pond and an islet
                fill(x0, y0, block - 16, block - 16, park);
                fill(x0 + 12, y0 + 12, 24, 20, water);
                fill(x0 + 22, y0 + 20, 4, 4, park);
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                const int w = uniform(10, 20), h = uniform(10, 40);
                const int x = x0 + k * 16 + uniform(0, 3), y = y0 + uniform(0, 6);
                if (uniform(0, 3) == 0) {
                    fill(x, y, w, h, courtyard_roof);
                    fill(x + 3, y + 3, w - 6, h - 6, ground);
                } else {
                    fill(x, y, w, h, roof);
                }
            }
        }
    for (int x = 0; x < size; ++x) {  // the river
        const int centre = size / 2 + static_cast<int>(20 * std::sin(x / 40.0));
        fill(x, centre - 6, 1, 12, water);
    }
    return map;
}

bool write_class_map(const std::string& path, const Grid<std::uint8_t>& map)
{
    const int height = map.height();
    const auto bytes = compose_bmp(map.width(), height, land_cover_palette(), [&](int r, unsigned char* out) {
        std::copy(map.row(height - 1 - r), map.row(height - 1 - r) + map.width(), out);
    });
    return write_file_bytes(path, bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples <folder>\n");
        return 1;
    }
    const std::string folder = argv[1];
    Console console;
    if (bmp_grayscale256_create(console, folder + "/aerial.bmp", aerial_image(1024, 7)) != 0) return 1;
    if (!write_class_map(folder + "/landcover.bmp", land_cover_map(512, 11))) return 1;
    std::printf("samples written to %s\n", folder.c_str());
    return 0;
}
