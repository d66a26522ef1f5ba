// Headerless RAW rasters (samples row after row, top row first, no padding)
// with their ".dim" dimension files and ENVI ".hdr" headers.
#pragma once

#include "bmp.h"
#include "grid.h"
#include "raster_problem.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

// A RAW raster's two files as they are written: the samples and their ".dim"
// or ENVI ".hdr" header.
struct RasterFiles {
    std::string samples;
    std::string header;
};

// Which of the two files could not be written, and the system's reason
// (std::errc::not_enough_memory when the samples could not be held). A file
// that failed is removed.
struct RasterWriteProblem {
    bool in_header = false;
    std::error_code error;
};

// Reads the 8-bit mask `nome` (a name ending in a three-letter extension) and
// the ".dim" beside it into the bordered 0/1 mask of bmp_256_open; sets
// state.b_value to the foreground sample value.
RasterProblem raw_8bit_open(const std::string& nome, Grid<std::uint8_t>& Immagine, MaskFileState& state);

// The bordered 0/1 mask of W x H samples (row after row, the top row first)
// holding 0 for the background and one foreground value, which goes to
// state.b_value (0 when every sample is 0). No sample 0 is
// no_black_background, a second foreground value more_than_two_values.
RasterProblem mask_from_samples(const std::uint8_t* samples, int W, int H, Grid<std::uint8_t>& Immagine,
                                MaskFileState& state);

// Writes the mask's samples and ".dim" (the caller names them "<nome>.raw"
// and "<nome>.dim") from a bordered mask: cells equal to 1 as state.b_value
// (255 when b_value is 0, so that a foreground is never written as
// background), the others 0.
std::optional<RasterWriteProblem> raw_8bit_create(const RasterFiles& nome, const Grid<std::uint8_t>& Immagine,
                                                  const MaskFileState& state);

// Height form: writes the samples and the ENVI header (the caller names them
// "<nome>.raw" and "<nome>.hdr"; `description` is the header's description,
// "<nome>") from Immagine(x, y), y = 0 the bottom row. Heights on pixels
// whose building-map pixel is not `building_colour` are set to 0 first
// (keep_building_heights). `header_lines` follow the header's eleven lines
// (the georeferencing of a placed raster).
std::optional<RasterWriteProblem> raw_32bit_create(const RasterFiles& nome, const std::string& description,
                                                   Grid<float>& Immagine, const Grid<std::int32_t>& Matrice_building,
                                                   std::int32_t building_colour,
                                                   const std::vector<std::string>& header_lines = {});

// The height form's building filter: every height above 0 on a pixel whose
// building-map pixel (Matrice_building(x, H-1-y), row 0 at the top) is not
// `building_colour` becomes 0; zero and negative values are left alone.
void keep_building_heights(Grid<float>& Immagine, const Grid<std::int32_t>& Matrice_building,
                           std::int32_t building_colour);

// Zone form: writes the samples and the ENVI header from Immagine(x, y),
// y = 0 the bottom row. The caller names them `nome` (extension included)
// and envi_header_name(nome), with the description zone_raster_base(nome).
std::optional<RasterWriteProblem> raw_32bit_create(const RasterFiles& nome, const std::string& description,
                                                   const Grid<float>& Immagine);

// The ENVI header beside a RAW file named with its extension: its last three
// characters replaced by "hdr" ("<nome>.hdr" when the name is shorter).
std::string envi_header_name(const std::string& raw_name);

// The RAW file's name without its extension (its last four characters).
std::string zone_raster_base(const std::string& raw_name);

// Reads a w x h float RAW file into Immagine(x, y), y = 0 the first (top) row
// of the file. Refuses a negative extent and a file that does not hold
// exactly w*h samples.
RasterProblem raw_32bit_open(const std::string& nome, Grid<float>& Immagine, int w, int h);

// Reads the two integers of a ".dim" file (width, then height, any white
// space between). Returns false when the file cannot be opened or does not
// hold two integers.
bool read_dim_file(const std::string& path, int& width, int& height);

// The extent in the ".dim" file beside a raster (`dim_path`; none when the
// raster's name is too short to have one): dim_cannot_open, or dim_invalid
// when it does not hold a width and a height of zero or more.
RasterProblem read_dim_extent(const std::optional<std::string>& dim_path, int& width, int& height);

// Reads a width x height RAW raster of 8-bit unsigned, 16-bit signed or
// 32-bit float little-endian samples (`bit_number`) from an open file into
// image(x, y), y = 0 the last row of the file (the bottom of the picture),
// bytes as 0..255, 16-bit samples as -32768..32767, floats bit for bit.
// Returns false when the file holds fewer samples.
bool read_raw_bottom_up(std::FILE* file, int bit_number, int width, int height, Grid<float>& image);

// The writers below return the system's reason when the file could not be
// written whole; nothing is then left of it.

// Writes "%d\t%d\n" of width and height.
std::error_code write_dim_file(const std::string& path, int width, int height);

// Whether a text can stand as an ENVI header's description "{<text>.}": no
// control character (a line break would end the header's line) and no brace
// (which would end the description early or open another).
bool envi_description_usable(const std::string& description);

// What an ENVI header says beyond its fixed lines: the sample type ("data
// type": 4 float, 1 byte) and lines appended after the eleven (each without
// its line end), such as the georeferencing of a placed raster.
struct EnviHeaderOptions {
    int data_type = 4;
    std::vector<std::string> extra_lines;
};

// Writes the eleven-line ENVI header of a single-band raster (float unless
// the options say otherwise), then the options' extra lines.
std::error_code write_envi_header(const std::string& path, const std::string& description, int width, int height,
                                  const EnviHeaderOptions& options = {});

// The description an ENVI header can hold for `name`: each control
// character and brace replaced by "_".
std::string envi_description_of(const std::string& name);

// Writes a whole raster as headerless RAW samples, the top row (y = 0) first:
// one byte, or one little-endian float, per pixel.
std::error_code write_raw_bytes(const std::string& path, const Grid<std::uint8_t>& image);
std::error_code write_raw_floats(const std::string& path, const Grid<float>& image);

// Reads exactly `count` bytes from the start of a file. Returns false when
// the file cannot be opened or holds fewer bytes.
bool read_raw_bytes(const std::string& path, std::size_t count, std::vector<unsigned char>& bytes);
