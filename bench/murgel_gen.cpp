// Writes a large building mask for the mask-cleaner benchmark: about 10 000
// buildings per 4096 x 4096 pixels (rectangles and L shapes with holes,
// courtyards, notches and one-pixel channels), diagonal bridges between
// neighbours, and specks, as an 8-bit BMP (black background, 255 buildings).
// Usage: murgel_gen <file without .bmp> <size>
#include "bmp.h"
#include "console.h"

#include <algorithm>
#include <cstdlib>
#include <random>

namespace {

class MaskPainter {
public:
    MaskPainter(int size, unsigned seed) : size_(size), mask_(size + 2, size + 2, 0), rng_(seed) {}

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    // Image pixel (x, y), clipped to the picture.
    void set(int x, int y, std::uint8_t v)
    {
        if (x >= 0 && y >= 0 && x < size_ && y < size_) mask_(x + 1, y + 1) = v;
    }
    void rect(int x0, int y0, int w, int h, std::uint8_t v)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) set(x, y, v);
    }

    void building(int x0, int y0, int w, int h)
    {
        rect(x0, y0, w, h, 1);
        if (chance(0.4)) rect(x0 + w - 1, y0 + pick(0, h / 2), pick(4, 12), pick(4, h), 1);  // L shape
        const int holes = pick(0, 3);
        for (int i = 0; i < holes; ++i) rect(x0 + pick(1, w - 3), y0 + pick(1, h - 3), pick(1, 2), pick(1, 2), 0);
        if (chance(0.15)) rect(x0 + w / 3, y0 + h / 3, std::max(1, w / 3), std::max(1, h / 3), 0);  // courtyard
        const int notches = pick(0, 3);
        for (int i = 0; i < notches; ++i) set(x0 + pick(1, w - 2), chance(0.5) ? y0 : y0 + h - 1, 0);
        if (chance(0.2)) rect(x0 + pick(2, w - 3), y0, 1, pick(2, h / 2), 0);  // channel into the roof
        if (chance(0.3)) {                                                     // diagonal bridge
            set(x0 + w, y0 + h, 1);
            set(x0 + w + 1, y0 + h + 1, 1);
        }
    }

    Grid<std::uint8_t>& mask() { return mask_; }

private:
    int size_;
    Grid<std::uint8_t> mask_;
    std::mt19937 rng_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return 1;
    const int size = std::atoi(argv[2]);
    MaskPainter painter(size, 7);

    // One building per 41 x 41 cell on average (10 000 at 4096), jittered.
    const int cell = 41;
    for (int cy = 0; cy + cell <= size; cy += cell) {
        for (int cx = 0; cx + cell <= size; cx += cell) {
            const int w = painter.pick(8, 28), h = painter.pick(8, 28);
            painter.building(cx + painter.pick(0, cell - w - 2), cy + painter.pick(0, cell - h - 2), w, h);
        }
    }
    const long long specks = static_cast<long long>(size) * size / 800;
    for (long long i = 0; i < specks; ++i)
        painter.rect(painter.pick(0, size - 1), painter.pick(0, size - 1), painter.pick(1, 3), painter.pick(1, 3), 1);

    MaskFileState state;
    state.b_value = 255;
    return bmp_256_create(std::string(argv[1]) + ".bmp", painter.mask(), state, false) ? 1 : 0;
}
