// The background raster: a single-band RAW file of 8-bit unsigned, 16-bit
// or 32-bit float pixels, top row first. Its extent comes from its ".dim"
// file, its depth then from its size (8-bit unsigned, 16-bit signed or
// 32-bit float, little-endian); without a ".dim" file, extent and sample
// layout come from its ENVI header, as Zonrik and Talvern write them
// beside their float rasters.
#pragma once

#include "envi_header.h"
#include "grid.h"

#include <cstdint>
#include <cstdio>

// Prints the size of the background file and its extent.
void print_background_size(std::uint64_t size, int width, int height);

// Bits per pixel of a background of `size` bytes and width x height pixels:
// prints the size, the extent and a line for every depth whose size matches
// ("\t\t8 bit/pixel raw image", ...); the last that matches decides.
// Returns 0 when none matches.
int background_bit_number(std::uint64_t size, int width, int height);

// Prints the depth line of one depth.
void print_bit_number(int bit_number);

// Reads the samples that an ENVI header describes (data type 1, 2, 12 or
// 4, either byte order, after its header offset) from an open file into
// image(x, y), y = 0 the last row of the file. Returns false when the file
// holds fewer samples.
bool read_envi_background(std::FILE* file, const EnviHeader& header, Grid<float>& image);

// The sample layout of a ".dim" background of `bit_number` bits as an ENVI
// header gives it: data type 1, 2 or 4, little-endian, no offset.
EnviHeader raw_sample_layout(int bit_number, int width, int height);

// The window of w x h samples whose top-left sample is column x0 of file row
// `top_row` (rows counted from the top of the file), read as
// read_envi_background reads them: window(x, y), y = 0 the window's bottom
// row. Returns false when the file holds fewer samples.
bool read_background_window(std::FILE* file, const EnviHeader& header, int x0, int top_row, int w, int h,
                            Grid<float>& window);
