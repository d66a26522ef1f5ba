// Builds 8-bit palette BMP files for tests, in the suite's own layout or in
// the variants other tools write (longer info header, short palette,
// top-down rows).
#pragma once

#include "test_support.h"

#include <array>
#include <cstdint>
#include <vector>

namespace testsupport {

// Palette entry as 0xRRGGBB.
using Palette = std::vector<std::uint32_t>;

Palette grey_palette();

struct BmpLayout {
    int info_header_size = 40;   // 40, or 108 / 124 for V4 / V5
    int palette_entries = 256;   // entries stored in the file (colours-used field)
    bool top_down = false;       // negative height, first stored row is the top
    int extra_gap = 0;           // bytes between palette and pixel data
    std::uint8_t padding_value = 255;
};

// pixels: width*height palette indices, row 0 the top row of the picture.
Bytes make_bmp(int width, int height, const std::vector<std::uint8_t>& pixels, const Palette& palette,
               const BmpLayout& layout = BmpLayout());

// Palette indices of a BMP written in the suite's layout, row 0 the top.
std::vector<std::uint8_t> bmp_pixels(const Bytes& file);

}  // namespace testsupport
