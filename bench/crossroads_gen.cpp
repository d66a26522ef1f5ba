// Writes a terrain model and a crossroads file for the crossing benchmark:
// <base>.raw (size x size little-endian floats: gentle slopes with scattered
// 5 x 5 mounds) with <base>.dim, and <crossroads> with `pairs` records of two
// segments ("%.2f" values, one record per line) crossing inside the model.
// Usage: crossroads_gen <base> <crossroads> <size> <pairs> [seed]

#include "file.h"
#include "grid.h"
#include "raw.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fputs("usage: crossroads_gen <base> <crossroads> <size> <pairs> [seed]\n", stderr);
        return 1;
    }
    const std::string base = argv[1];
    const int size = std::atoi(argv[3]);
    const long pairs = std::atol(argv[4]);
    std::mt19937 rng(argc > 5 ? static_cast<unsigned>(std::atol(argv[5])) : 1u);
    if (size < 1) return 1;
    auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); };

    Grid<float> terrain(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            terrain(x, y) = static_cast<float>(200 + 20 * std::sin(x / 150.0) + 15 * std::cos(y / 90.0));
    for (long m = 0; m < static_cast<long>(size) * size / 400; ++m) {
        const int cx = static_cast<int>(uniform(2, size - 2)), cy = static_cast<int>(uniform(2, size - 2));
        const float rise = static_cast<float>(uniform(0, 8));
        for (int y = cy - 2; y <= cy + 2; ++y)
            for (int x = cx - 2; x <= cx + 2; ++x) terrain(x, y) += rise;
    }
    File cross = open_file(argv[2], "wb");
    if (write_raw_floats(base + ".raw", terrain) || write_dim_file(base + ".dim", size, size) || !cross) return 1;

    // Two segments through a common point at random angles.
    const double pi = 3.14159265358979;
    for (long i = 0; i < pairs; ++i) {
        const double px = uniform(0, size), py = uniform(0, size);
        const double a = uniform(0, pi), b = a + uniform(0.2, pi - 0.2);
        const double la = uniform(5, 60), lb = uniform(5, 60);
        std::fprintf(cross.get(), "%.2f %.2f %.2f %.2f %.2f %.2f %.2f %.2f\n", px - la * std::cos(a), py - la * std::sin(a),
                     px + la * std::cos(a), py + la * std::sin(a), px - lb * std::cos(b), py - lb * std::sin(b),
                     px + lb * std::cos(b), py + lb * std::sin(b));
    }
    return close_written_file(cross) ? 0 : 1;
}
