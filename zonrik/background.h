// The background raster: a single-band RAW file of 8-bit unsigned, 16-bit
// signed or 32-bit float pixels (little-endian), top row first, whose extent
// comes from its ".dim" file and whose depth follows from its size.
#pragma once

#include <cstdint>

// Bits per pixel of a background of `size` bytes and width x height pixels:
// prints the size, the extent and a line for every depth whose size matches
// ("\t\t8 bit/pixel raw image", ...); the last that matches decides.
// Returns 0 when none matches.
int background_bit_number(std::uint64_t size, int width, int height);
