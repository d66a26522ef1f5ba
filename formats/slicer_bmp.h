// The grey BMP as the threshold slicer reads and writes it: the input's
// 54-byte header kept as it stands, the pixel rows taken from the stated data
// offset, and output files that repeat the input's header with the fields
// that describe the written layout made true.
#pragma once

#include "grid.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

using BmpHead = std::array<std::uint8_t, 54>;

// Reads the first 54 bytes. False when the file is shorter.
bool read_bmp_head(std::FILE* file, BmpHead& head);

enum class PixelRowsProblem { none, compressed, pixels_inside_header, negative_size, short_data, out_of_memory };

// Reads the rows of an 8-bit image into pixels(x, y), y = 0 the top row,
// from the data offset of `head`. Refuses what every BMP reader refuses
// (bmp_storage_problem of bmp_file.h: compressed rows, pixel data inside the
// header), negative extents and data shorter than the rows and their padding
// need (by the header's data length or by what the file holds).
PixelRowsProblem read_pixel_rows(std::FILE* file, const BmpHead& head, Grid<std::uint8_t>& pixels);

// The first 1078 bytes of an output image: the input header with file size,
// data offset (1078), info header size (40), compression (none), image size
// and colours used (256) made true, then the grey palette. The rows follow bottom-up, each padded to a multiple of
// 4 bytes with 255.
std::vector<unsigned char> slice_file_head(const BmpHead& head, int width, int height);
