#include "background.h"

#include "platform.h"

#include <cstring>
#include <initializer_list>
#include <vector>

void print_background_size(std::uint64_t size, int width, int height)
{
    std::printf("\n\nSize of background file in bytes: %llu\n", static_cast<unsigned long long>(size));
    std::printf("\nWidth: %d\tHeight: %d", width, height);
}

void print_bit_number(int bit_number) { std::printf("\t\t%d bit/pixel raw image", bit_number); }

int background_bit_number(std::uint64_t size, int width, int height)
{
    print_background_size(size, width, height);
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    int bit_number = 0;
    for (int bytes_per_pixel : {1, 2, 4}) {
        if (size == bytes_per_pixel * pixels) {
            bit_number = 8 * bytes_per_pixel;
            print_bit_number(bit_number);
        }
    }
    return bit_number;
}

namespace {

// Row r of the file from column x0 on: w samples into `row`.
bool read_samples(std::FILE* file, const EnviHeader& header, std::uint64_t r, int x0, int w,
                  std::vector<unsigned char>& row_bytes, float* row)
{
    const std::size_t bytes = static_cast<std::size_t>(envi_sample_bytes(header.data_type));
    const std::uint64_t at =
        header.header_offset + (r * static_cast<std::uint64_t>(header.samples) + static_cast<std::uint64_t>(x0)) * bytes;
    row_bytes.resize(static_cast<std::size_t>(w) * bytes);
    if (!seek_to(file, at) || std::fread(row_bytes.data(), 1, row_bytes.size(), file) != row_bytes.size()) return false;
    for (int x = 0; x < w; ++x) {
        // The sample as an unsigned number of its bytes.
        const unsigned char* in = row_bytes.data() + static_cast<std::size_t>(x) * bytes;
        std::uint32_t bits = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            const std::size_t significance = header.byte_order == 1 ? bytes - 1 - i : i;
            bits |= static_cast<std::uint32_t>(in[i]) << (8 * significance);
        }
        switch (header.data_type) {
        case 1:
        case 12: row[x] = static_cast<float>(bits); break;
        case 2: row[x] = static_cast<std::int16_t>(static_cast<std::uint16_t>(bits)); break;
        default: std::memcpy(&row[x], &bits, sizeof bits);
        }
    }
    return true;
}

}  // namespace

bool read_background_window(std::FILE* file, const EnviHeader& header, int x0, int top_row, int w, int h,
                            Grid<float>& window)
{
    window.resize(w, h);
    std::vector<unsigned char> row_bytes;
    for (int r = 0; r < h; ++r)
        if (!read_samples(file, header, static_cast<std::uint64_t>(top_row + r), x0, w, row_bytes,
                          window.row(h - 1 - r)))
            return false;
    return true;
}

bool read_envi_background(std::FILE* file, const EnviHeader& header, Grid<float>& image)
{
    if (header.samples == 0 || header.lines == 0) {
        image.resize(header.samples, header.lines);
        return true;
    }
    return read_background_window(file, header, 0, 0, header.samples, header.lines, image);
}

EnviHeader raw_sample_layout(int bit_number, int width, int height)
{
    EnviHeader header;
    header.samples = width;
    header.lines = height;
    header.data_type = bit_number == 8 ? 1 : bit_number == 16 ? 2 : 4;
    return header;
}
