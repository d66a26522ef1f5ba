// The common steps of reading and writing 8-bit BMP files: open and check a
// file, read its pixel rows one at a time, and stream the rows of a new file
// band by band, so that large images never need a second copy in memory.
#pragma once

#include "file.h"
#include "grid.h"
#include "raster_problem.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

// Why a BMP could not be read (the BMP kinds of RasterProblem).
using BmpProblem = RasterProblem::Kind;

// An open 8-bit palette BMP whose header has been checked: the suite's own
// layout, and also V4/V5 info headers (palette after the header), short
// palettes (missing entries black), pixel data at the stated offset and
// top-down rows.
class BmpRowReader {
public:
    BmpProblem open(const std::string& path);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::array<std::uint8_t, 1024>& palette() const { return palette_; }

    // Calls visit(y, indices) for every row, y = 0 the top row of the
    // picture, in the order the rows are stored. An image without pixels
    // (width or height 0) has no row to visit, however large the other
    // extent its header gives.
    template <typename Visit>
    BmpProblem read_rows(Visit visit);

private:
    File file_;
    int width_ = 0;
    int height_ = 0;
    bool top_down_ = false;
    std::size_t stride_ = 0;
    std::array<std::uint8_t, 1024> palette_{};
};

struct BmpIndices {
    std::array<std::uint8_t, 1024> palette{};  // blue, green, red, reserved per entry
    Grid<std::uint8_t> indices;                // palette index of (x, y), y = 0 the top row
};

// Whether palette entry `index` is black.
inline bool is_black(const std::array<std::uint8_t, 1024>& palette, int index)
{
    return palette[4 * index] == 0 && palette[4 * index + 1] == 0 && palette[4 * index + 2] == 0;
}

// What every BMP reader refuses in a header whose signature and depth are
// right: compressed rows (not_8bit) and pixel data that begins inside the
// headers (bad_layout). `head` holds the file's first 54 bytes.
BmpProblem bmp_storage_problem(const std::uint8_t* head);

// Reads a whole image's palette indices.
BmpProblem read_bmp_indices(const std::string& path, BmpIndices& image);

// The 54-byte header of the suite's layout followed by the palette.
std::vector<unsigned char> bmp_header_and_palette(int width, int height, const std::array<std::uint8_t, 1024>& palette);

// Writes a new BMP: `head` (header and palette, 1078 bytes), then the rows
// bottom-up, each padded to a multiple of 4 bytes with 255. fill_row(r, out)
// writes the `width` indices of file row r (r = 0 the bottom row of the
// picture). On failure removes what was written and returns the system's
// reason. Throws std::bad_alloc when its band buffer cannot be held.
template <typename FillRow>
std::error_code write_bmp_file(const std::string& path, const std::vector<unsigned char>& head, int width, int height,
                    FillRow fill_row);

// Template implementations.

template <typename Visit>
BmpProblem BmpRowReader::read_rows(Visit visit)
{
    if (stride_ == 0 || height_ == 0) return BmpProblem::none;
    std::vector<std::uint8_t> row(stride_);
    for (int r = 0; r < height_; ++r) {
        if (std::fread(row.data(), 1, stride_, file_.get()) != stride_) return BmpProblem::truncated;
        visit(top_down_ ? r : height_ - 1 - r, static_cast<const std::uint8_t*>(row.data()));
    }
    return BmpProblem::none;
}

template <typename FillRow>
std::error_code write_bmp_file(const std::string& path, const std::vector<unsigned char>& head, int width, int height,
                               FillRow fill_row)
{
    const std::size_t stride = (static_cast<std::size_t>(std::max(width, 0)) + 3) / 4 * 4;
    const int band = static_cast<int>(std::clamp<std::size_t>((std::size_t(1) << 20) / std::max<std::size_t>(stride, 1), 1,
                                                              static_cast<std::size_t>(std::max(height, 1))));
    // An image without pixels has rows of no bytes, or no rows, however large
    // its other extent.
    const bool has_pixels = stride > 0 && height > 0;
    std::vector<unsigned char> rows(has_pixels ? stride * static_cast<std::size_t>(band) : 0, 255);

    WrittenFile file(path);
    file.write(head.data(), head.size());
    for (int first = 0; file.good() && has_pixels && first < height; first += band) {
        const int count = std::min(band, height - first);
        for (int i = 0; i < count; ++i) fill_row(first + i, rows.data() + stride * static_cast<std::size_t>(i));
        file.write(rows.data(), stride * static_cast<std::size_t>(count));
    }
    return file.finish();
}
