// Random test rasters: grey images with thin dark lines, and line masks.
#pragma once

#include "grid.h"

#include <cstdint>
#include <random>

namespace testimages {

// A noisy grey background crossed by a few dark lines one to three pixels
// wide, some of them reaching the border.
Grid<std::uint8_t> grey_with_lines(int width, int height, std::uint32_t seed);

// Uniform noise over the whole 0..255 range.
Grid<std::uint8_t> noise(int width, int height, std::uint32_t seed);

// A line mask (0 = line, 255 = background) of thick and thin straight lines
// that cross, with notches, gaps and small holes; lines reach the border.
Grid<std::uint8_t> line_mask(int width, int height, std::uint32_t seed);

// A mask of scattered 0 / non-255 pixels with the given chance of 0.
Grid<std::uint8_t> speckle_mask(int width, int height, double chance, std::uint32_t seed);

}  // namespace testimages
