// Headerless RAW rasters (samples row after row, top row first, no padding)
// with their ".dim" dimension files and ENVI ".hdr" headers.
#pragma once

#include "bmp.h"
#include "console.h"
#include "grid.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

// Reads the 8-bit mask `nome` (a name ending in a three-letter extension) and
// the ".dim" beside it into the bordered 0/1 mask of bmp_256_open; sets
// state.b_value to the foreground sample value.
int raw_8bit_open(const std::string& nome, Grid<std::uint8_t>& Immagine, MaskFileState& state);

// Writes "<nome>.raw" and "<nome>.dim" from a bordered mask: cells equal to 1
// as state.b_value (255 when b_value is 0, so that a foreground is never
// written as background), the others 0.
int raw_8bit_create(Console& console, const std::string& nome, const Grid<std::uint8_t>& Immagine,
                    const MaskFileState& state);

// Height form: writes "<nome>.raw" and "<nome>.hdr" from Immagine(x, y),
// y = 0 the bottom row. Heights on pixels whose building-map pixel
// (Matrice_building(x, H-1-y), row 0 at the top) is not `building_colour` are
// set to 0 first. Prints nothing; returns 1 when a file cannot be written.
int raw_32bit_create(const std::string& nome, Grid<float>& Immagine, const Grid<std::int32_t>& Matrice_building,
                     std::int32_t building_colour);

// Zone form: writes the RAW file `nome` (extension included) from
// Immagine(x, y), y = 0 the bottom row, and the ENVI header under the same
// name with its last three characters replaced by "hdr". On success `nome`
// holds the name without its last four characters.
int raw_32bit_create(Console& console, std::string& nome, const Grid<float>& Immagine);

// Reads a w x h float RAW file into Immagine(x, y), y = 0 the first (top) row
// of the file. Returns 1 without a message when the file cannot be opened;
// a file shorter than w*h samples is refused with a message.
int raw_32bit_open(const std::string& nome, Grid<float>& Immagine, int w, int h);

// Reads the two integers of a ".dim" file (width, then height, any white
// space between). Returns false when the file cannot be opened or does not
// hold two integers.
bool read_dim_file(const std::string& path, int& width, int& height);

// The extent in the ".dim" file beside a raster (`dim_path`; none when the
// raster's name is too short to have one). Prints "\nError in opening '.dim'
// file\n", or that it does not hold a width and a height of zero or more,
// and returns false when it cannot be had.
bool read_dim_extent(const std::optional<std::string>& dim_path, int& width, int& height);

// Reads a width x height RAW raster of 8-bit unsigned, 16-bit signed or
// 32-bit float little-endian samples (`bit_number`) from an open file into
// image(x, y), y = 0 the last row of the file (the bottom of the picture),
// bytes as 0..255, 16-bit samples as -32768..32767, floats bit for bit.
// Returns false when the file holds fewer samples.
bool read_raw_bottom_up(std::FILE* file, int bit_number, int width, int height, Grid<float>& image);

// Writes "%d\t%d\n" of width and height. Returns false on failure.
bool write_dim_file(const std::string& path, int width, int height);

// Writes the eleven-line ENVI header of a single-band float raster.
bool write_envi_header(const std::string& path, const std::string& description, int width, int height);

// Writes a whole raster as headerless RAW samples, the top row (y = 0) first:
// one byte, or one little-endian float, per pixel. Returns false when the
// file cannot be written (nothing is left behind).
bool write_raw_bytes(const std::string& path, const Grid<std::uint8_t>& image);
bool write_raw_floats(const std::string& path, const Grid<float>& image);

// Reads exactly `count` bytes from the start of a file. Returns false when
// the file cannot be opened or holds fewer bytes.
bool read_raw_bytes(const std::string& path, std::size_t count, std::vector<unsigned char>& bytes);
