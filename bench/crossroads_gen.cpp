// Writes a terrain model and a crossroads file for the crossing benchmark:
// <base>.raw (size x size little-endian floats: gentle slopes with scattered
// 5 x 5 mounds) with <base>.dim, and <crossroads> with `pairs` records of two
// segments ("%.2f" values, one record per line) crossing inside the model.
// Usage: crossroads_gen <base> <crossroads> <size> <pairs> [seed]

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

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

    std::vector<float> terrain(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            terrain[static_cast<std::size_t>(y) * size + x] =
                static_cast<float>(200 + 20 * std::sin(x / 150.0) + 15 * std::cos(y / 90.0));
    for (long m = 0; m < static_cast<long>(size) * size / 400; ++m) {
        const int cx = static_cast<int>(uniform(2, size - 2)), cy = static_cast<int>(uniform(2, size - 2));
        const float rise = static_cast<float>(uniform(0, 8));
        for (int y = cy - 2; y <= cy + 2; ++y)
            for (int x = cx - 2; x <= cx + 2; ++x) terrain[static_cast<std::size_t>(y) * size + x] += rise;
    }
    std::vector<unsigned char> bytes(terrain.size() * 4);
    for (std::size_t i = 0; i < terrain.size(); ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, &terrain[i], 4);
        for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<unsigned char>(bits >> (8 * b));
    }
    std::FILE* raw = std::fopen((base + ".raw").c_str(), "wb");
    std::FILE* dim = std::fopen((base + ".dim").c_str(), "wb");
    std::FILE* cross = std::fopen(argv[2], "wb");
    if (!raw || !dim || !cross) return 1;
    std::fwrite(bytes.data(), 1, bytes.size(), raw);
    std::fprintf(dim, "%d\t%d\n", size, size);

    // Two segments through a common point at random angles.
    const double pi = 3.14159265358979;
    for (long i = 0; i < pairs; ++i) {
        const double px = uniform(0, size), py = uniform(0, size);
        const double a = uniform(0, pi), b = a + uniform(0.2, pi - 0.2);
        const double la = uniform(5, 60), lb = uniform(5, 60);
        std::fprintf(cross, "%.2f %.2f %.2f %.2f %.2f %.2f %.2f %.2f\n", px - la * std::cos(a), py - la * std::sin(a),
                     px + la * std::cos(a), py + la * std::sin(a), px - lb * std::cos(b), py - lb * std::sin(b),
                     px + lb * std::cos(b), py + lb * std::sin(b));
    }
    const bool ok = std::fclose(raw) == 0 && std::fclose(dim) == 0 && std::fclose(cross) == 0;
    return ok ? 0 : 1;
}
