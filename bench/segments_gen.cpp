// Writes a segments file as the line extractor does ("%5d %5d %5d %5d
// %5.2f" and CR LF per segment): random segments of up to 100 pixels inside
// a width x height image.
// Usage: segments_gen <output> <count> <width> <height> [seed]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fputs("usage: segments_gen <output> <count> <width> <height> [seed]\n", stderr);
        return 1;
    }
    const long count = std::atol(argv[2]);
    const int width = std::atoi(argv[3]);
    const int height = std::atoi(argv[4]);
    std::mt19937 rng(argc > 5 ? static_cast<unsigned>(std::atol(argv[5])) : 1u);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || width < 1 || height < 1) return 1;
    auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (long i = 0; i < count; ++i) {
        const int x1 = below(width), y1 = below(height);
        const int x2 = std::clamp(x1 + below(201) - 100, 0, width - 1);
        const int y2 = std::clamp(y1 + below(201) - 100, 0, height - 1);
        const double score = -static_cast<double>(below(1000)) / 100.0;
        std::fprintf(out, "%5d %5d %5d %5d %5.2f\r\n", x1, y1, x2, y2, score);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
