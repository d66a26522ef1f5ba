// Writes a large grey BMP for the slicer benchmark.
// Usage: stelvar_gen <file> <size>
#include "bmp.h"
#include "console.h"

#include <cstdlib>
#include <random>

int main(int argc, char** argv)
{
    if (argc != 3) return 1;
    const int size = std::atoi(argv[2]);
    Grid<std::uint8_t> image(size, size);
    std::mt19937 rng(1);
    for (auto& v : image.cells()) v = static_cast<std::uint8_t>(rng());
    return bmp_grayscale256_create(argv[1], image) ? 1 : 0;
}
