#include "background.h"

#include <cstdio>
#include <initializer_list>

int background_bit_number(std::uint64_t size, int width, int height)
{
    std::printf("\n\nSize of background file in bytes: %llu\n", static_cast<unsigned long long>(size));
    std::printf("\nWidth: %d\tHeight: %d", width, height);
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    int bit_number = 0;
    for (int bytes_per_pixel : {1, 2, 4}) {
        if (size == bytes_per_pixel * pixels) {
            bit_number = 8 * bytes_per_pixel;
            std::printf("\t\t%d bit/pixel raw image", bit_number);
        }
    }
    return bit_number;
}
