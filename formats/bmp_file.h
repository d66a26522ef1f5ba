// The header of an 8-bit BMP file as the readers understand it, and the
// common steps of reading one: open, check, locate palette and pixel rows.
#pragma once

#include "grid.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Why a BMP could not be read; each reader prints its own text for the
// first three and shares the texts of the others.
enum class BmpProblem {
    none,
    cannot_open,
    not_bmp,          // signature is not "BM"
    not_8bit,         // bits per pixel not 8, or compressed rows
    bad_layout,       // negative width, or pixel data inside the header
    truncated,        // the file holds fewer bytes than its header says
    out_of_memory,
};

// Shared message texts for the problems that have no reader-specific text.
const char* bmp_problem_message(BmpProblem problem);

struct BmpIndices {
    int width = 0;
    int height = 0;
    std::array<std::uint8_t, 1024> palette{};  // blue, green, red, reserved per entry
    Grid<std::uint8_t> indices;                // palette index of (x, y), y = 0 the top row
};

// Reads an 8-bit palette BMP: the suite's own layout, and also V4/V5 info
// headers (palette after the header), short palettes (missing entries
// black), pixel data at the stated offset and top-down rows.
BmpProblem read_bmp_indices(const std::string& path, BmpIndices& image);

// Builds the bytes of a BMP in the suite's layout: 54-byte header, the
// palette, rows bottom-up padded with 255. fill_row(r, out) writes the
// `width` indices of file row r (r = 0 is the bottom row of the picture).
template <typename FillRow>
std::vector<unsigned char> compose_bmp(int width, int height, const std::array<std::uint8_t, 1024>& palette,
                                       FillRow fill_row);

// Writes bytes to a new file; on failure reports it (report_unwritable),
// removes what was written and returns false.
bool write_file_bytes(const std::string& path, const std::vector<unsigned char>& bytes);

// Prints "\nError: cannot write '<path>'\n".
void report_unwritable(const std::string& path);

// Implementation of the template.
std::vector<unsigned char> bmp_header_and_palette(int width, int height, const std::array<std::uint8_t, 1024>& palette);

template <typename FillRow>
std::vector<unsigned char> compose_bmp(int width, int height, const std::array<std::uint8_t, 1024>& palette,
                                       FillRow fill_row)
{
    std::vector<unsigned char> bytes = bmp_header_and_palette(width, height, palette);
    const std::size_t stride = static_cast<std::size_t>((width + 3) / 4 * 4);
    const std::size_t start = bytes.size();
    bytes.resize(start + stride * static_cast<std::size_t>(height), 255);
    for (int r = 0; r < height; ++r) fill_row(r, bytes.data() + start + stride * static_cast<std::size_t>(r));
    return bytes;
}
