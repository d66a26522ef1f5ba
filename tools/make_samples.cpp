// Writes the demo's sample data into a folder: a grey aerial-like image of a
// small town (bright roofs, darker streets, vegetation texture).
// Usage: make_samples <folder>
#include "bmp.h"
#include "console.h"
#include "grid.h"

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
    std::printf("samples written to %s\n", folder.c_str());
    return 0;
}
