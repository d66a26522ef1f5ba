// Eight-bit palette BMP files: the layout every program of the suite writes
// (54-byte header, 256-entry palette, rows bottom-up padded to 4 bytes with
// 255) and the readers and writers that convert between such a file and an
// image matrix.
//
// The readers also accept the 8-bit files other tools write: a longer info
// header (V4/V5, palette after it), a short palette (missing entries black),
// pixel data at the stated data offset, and top-down rows (negative height).
// A file shorter than its header says is refused.
#pragma once

#include "grid.h"
#include "raster_problem.h"

#include <array>
#include <cstdint>
#include <string>
#include <system_error>

// Palette colour packed as red*65536 + green*256 + blue. Greys (red = green =
// blue) are the multiples of 65793.
constexpr std::int32_t packed_grey_step = 65793;
inline bool is_grey(std::int32_t packed) { return packed % packed_grey_step == 0; }

using BmpPalette = std::array<std::uint8_t, 1024>;  // 256 entries of blue, green, red, reserved

// Reads the BMP named `nome_file` (no extension added) into packed colours:
// Matrice(x, y), y = 0 the top row; `dim` its extent; its palette into
// `palette` when one is given.
RasterProblem bmp_grayscale256_open(const std::string& nome_file, Grid<std::int32_t>& Matrice, Extent& dim,
                                    BmpPalette* palette = nullptr);

// The lowest palette entry holding the packed colour; -1 when none does.
int palette_index_of(const BmpPalette& palette, std::int32_t packed);

// The state the mask reader hands to the mask writer: the input palette and
// the foreground value `b_value` (a palette index for a BMP, the sample value
// for a RAW mask).
struct MaskFileState {
    std::array<std::uint8_t, 1024> palette{};  // 256 entries of blue, green, red, reserved
    std::uint8_t b_value = 0;
};

// Reads a two-valued mask on a black background into the bordered 0/1 mask:
// (W+2) x (H+2) cells, image pixel (x, y), y from the top, at cell
// (x+1, y+1), border 0. Fills state.palette and state.b_value.
RasterProblem bmp_256_open(const std::string& nome, Grid<std::uint8_t>& Immagine, MaskFileState& state);

// The same from palette indices already read (image.indices(x, y), y = 0 the
// top row; the first pixels "in file order" are those of the bottom row).
struct BmpIndices;
RasterProblem mask_from_indices(const BmpIndices& image, Grid<std::uint8_t>& Immagine, MaskFileState& state);

// Sizes `Immagine` as the bordered mask of a W x H image, all 0. False when
// it cannot be held (an extent at the int limit included).
bool resize_bordered(Grid<std::uint8_t>& Immagine, int W, int H);

// The writers write the file exactly as named and return the system's reason
// when it could not be written whole (nothing is then left of it);
// std::errc::not_enough_memory when its buffer could not be held.

// Writes `nome`: grey palette, Immagine(x, y) the palette index of pixel
// (x, y), row 0 at the top.
std::error_code bmp_grayscale256_create(const std::string& nome, const Grid<std::uint8_t>& Immagine);

// The palette indices the mask form writes: the lowest black entry of
// state.palette for the background, state.b_value for the foreground (or,
// when that is the background's index, the highest entry that is not black,
// so that the foreground stays visible).
struct MaskIndices {
    std::uint8_t background;
    std::uint8_t foreground;
};
MaskIndices mask_indices(const MaskFileState& state);

// Mask form: writes a BMP (the caller names it "<nome>.bmp") from a bordered mask as bmp_256_open returns
// it; cells equal to 1 are written as state.b_value, all others as the lowest
// black palette index. When b_value is that very index (an input with no
// foreground), the foreground takes the highest entry that is not black, so
// that it stays visible. `pal` keeps state.palette, otherwise the grey
// palette is written (and stored into state.palette).
std::error_code bmp_256_create(const std::string& nome, const Grid<std::uint8_t>& Immagine, MaskFileState& state,
                               bool pal);

// Zone form: writes a BMP (the caller names it "<nome>.bmp") with the zone palette; Immagine(x, y) is the
// palette index, row 0 at the bottom of the picture.
std::error_code bmp_256_create(const std::string& nome, const Grid<std::uint8_t>& Immagine);

// The palettes written, 1024 bytes each (blue, green, red, reserved).
std::array<std::uint8_t, 1024> grey_palette();
std::array<std::uint8_t, 1024> zone_palette();
