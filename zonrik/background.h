// The background raster: a single-band RAW file of 8-bit unsigned, 16-bit
// signed or 32-bit float pixels (little-endian), top row first, whose extent
// comes from its ".dim" file and whose depth follows from its size.
#pragma once

#include "grid.h"

#include <cstdint>
#include <cstdio>

// Bits per pixel of a background of `size` bytes and width x height pixels:
// prints the size, the extent and a line for every depth whose size matches
// ("\t\t8 bit/pixel raw image", ...); the last that matches decides.
// Returns 0 when none matches.
int background_bit_number(std::uint64_t size, int width, int height);

// Reads the pixels of an open background file into
// Matrice_background(x, y), y = 0 the last row of the file (the bottom of
// the picture): bytes as 0..255, 16-bit samples as -32768..32767, floats bit
// for bit. Returns false when the file holds fewer pixels.
bool load_background(std::FILE* file, int bit_number, int width, int height, Grid<float>& Matrice_background);
