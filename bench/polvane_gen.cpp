// Writes a synthetic class map for the vectoriser benchmark: shapes of the
// class colours on a grey background (filled and hollow rectangles, frames
// with an island inside, discs, diagonal staircases and checker patches),
// and beside it a mask BMP that is 0 on the background and 255 on the
// classes, for tools that need the background masked out.
// Usage: polvane_gen <class map> <mask> <size> <colours> <shapes>
#include "bmp.h"
#include "bmp_file.h"
#include "console.h"
#include "grid.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr std::uint8_t background = 255;  // palette entry 255 is mid grey

std::array<std::uint8_t, 1024> class_palette()
{
    std::array<std::uint8_t, 1024> palette{};
    for (int c = 0; c < 255; ++c) {
        palette[4 * c] = static_cast<std::uint8_t>(c * 7 % 256);  // blue
        palette[4 * c + 1] = static_cast<std::uint8_t>(255 - c);  // green
        palette[4 * c + 2] = static_cast<std::uint8_t>(c);        // red: never equal to green
    }
    palette[4 * 255] = palette[4 * 255 + 1] = palette[4 * 255 + 2] = 128;
    return palette;
}

class Painter {
public:
    Painter(Grid<std::uint8_t>& map) : map_(map) {}

    void put(int x, int y, std::uint8_t c)
    {
        if (map_.contains(x, y)) map_(x, y) = c;
    }

    void rectangle(int x0, int y0, int w, int h, std::uint8_t c)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) put(x, y, c);
    }

    void frame(int x0, int y0, int w, int h, int thickness, std::uint8_t c)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (x - x0 < thickness || x0 + w - 1 - x < thickness || y - y0 < thickness || y0 + h - 1 - y < thickness)
                    put(x, y, c);
    }

    void disc(int cx, int cy, int r, std::uint8_t c)
    {
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) put(x, y, c);
    }

    void staircase(int x0, int y0, int steps, std::uint8_t c)
    {
        for (int i = 0; i < steps; ++i) put(x0 + i, y0 + i, c);
    }

    void checker(int x0, int y0, int w, int h, std::uint8_t c)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if ((x + y) % 2 == 0) put(x, y, c);
    }

private:
    Grid<std::uint8_t>& map_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: polvane_gen <class map> <mask> <size> <colours> <shapes>\n");
        return 1;
    }
    const int size = std::atoi(argv[3]);
    const int colours = std::clamp(std::atoi(argv[4]), 1, 255);
    const int shapes = std::atoi(argv[5]);
    Grid<std::uint8_t> map(size, size, background);
    Painter paint(map);
    std::mt19937 rng(12345);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int s = 0; s < shapes; ++s) {
        const std::uint8_t c = static_cast<std::uint8_t>(uniform(0, colours - 1));
        const int x = uniform(0, size - 1), y = uniform(0, size - 1);
        const int w = uniform(6, 40), h = uniform(6, 40);
        switch (uniform(0, 5)) {
        case 0: paint.rectangle(x, y, w, h, c); break;
        case 1: paint.frame(x, y, w, h, uniform(1, 3), c); break;
        case 2:
            paint.frame(x, y, w + 8, h + 8, uniform(1, 3), c);
            paint.rectangle(x + w / 2, y + h / 2, 3, 3, c);  // island in the hole
            break;
        case 3: paint.disc(x, y, w / 2, c); break;
        case 4: paint.staircase(x, y, w, c); break;
        default: paint.checker(x, y, w / 2, h / 2, c); break;
        }
    }

    const auto head = bmp_header_and_palette(size, size, class_palette());
    if (!write_bmp_file(argv[1], head, size, size, [&](int r, unsigned char* out) {
            std::copy(map.row(size - 1 - r), map.row(size - 1 - r) + size, out);
        }))
        return 1;
    for (auto& v : map.cells()) v = v == background ? 0 : 255;
    return bmp_grayscale256_create(argv[2], map) ? 1 : 0;
}
