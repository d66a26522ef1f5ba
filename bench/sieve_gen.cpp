// Writes a class map for the ring-orientation benchmark: one red blob the
// size of the map riddled with square holes, each with a one-pixel island
// in its middle, so that a single polygon record holds hundreds of
// thousands of rings (cells of 5 x 5 pixels: a 3 x 3 hole in a wall two
// pixels thick, the island at its centre).
// Usage: sieve_gen <class map> <size>
#include "bmp_file.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: sieve_gen <class map> <size>\n");
        return 1;
    }
    const int size = std::atoi(argv[2]);
    std::array<std::uint8_t, 1024> palette{};  // entry 0 black, entry 1 red
    palette[4 + 2] = 255;
    auto red = [size](int x, int y) {
        if (x == 0 || y == 0 || x == size - 1 || y == size - 1) return false;  // a black frame round the map
        const int cx = x % 5, cy = y % 5;
        const bool in_hole = cx >= 1 && cx <= 3 && cy >= 1 && cy <= 3;
        return !in_hole || (cx == 2 && cy == 2);
    };
    const auto head = bmp_header_and_palette(size, size, palette);
    return write_bmp_file(argv[1], head, size, size, [&](int r, unsigned char* out) {
        for (int x = 0; x < size; ++x) out[x] = red(x, r) ? 1 : 0;
    }) ? 0 : 1;
}
