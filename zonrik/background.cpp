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

bool read_envi_background(std::FILE* file, const EnviHeader& header, Grid<float>& image)
{
    const int width = header.samples, height = header.lines;
    image.resize(width, height);
    if (image.empty()) return true;
    if (!seek_to(file, header.header_offset)) return false;
    const std::size_t bytes = static_cast<std::size_t>(envi_sample_bytes(header.data_type));
    std::vector<unsigned char> row_bytes(static_cast<std::size_t>(width) * bytes);
    for (int r = 0; r < height; ++r) {
        if (std::fread(row_bytes.data(), 1, row_bytes.size(), file) != row_bytes.size()) return false;
        float* row = image.row(height - 1 - r);
        for (int x = 0; x < width; ++x) {
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
    }
    return true;
}
