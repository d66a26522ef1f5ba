#include "background.h"

#include "byte_order.h"

#include <vector>

int background_bit_number(std::uint64_t size, int width, int height)
{
    std::printf("\n\nSize of background file in bytes: %llu\n", static_cast<unsigned long long>(size));
    std::printf("\nWidth: %d\tHeight: %d", width, height);
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    int bit_number = 0;
    for (int bytes_per_pixel : {1, 2, 4}) {
        if (size == bytes_per_pixel * pixels) {
            bit_number = 8 * bytes_per_pixel;
            std::printf("\t\t%d bit/pixel raw image", bit_number);
        }
    }
    return bit_number;
}

bool load_background(std::FILE* file, int bit_number, int width, int height, Grid<float>& Matrice_background)
{
    Matrice_background.resize(width, height);
    // A background without pixels reads nothing, however many rows its
    // ".dim" gives it.
    if (Matrice_background.empty()) return true;
    const std::size_t bytes_per_pixel = static_cast<std::size_t>(bit_number / 8);
    std::vector<unsigned char> row_bytes(static_cast<std::size_t>(width) * bytes_per_pixel);
    for (int r = 0; r < height; ++r) {
        if (!row_bytes.empty() && std::fread(row_bytes.data(), 1, row_bytes.size(), file) != row_bytes.size())
            return false;
        float* row = Matrice_background.row(height - 1 - r);
        const unsigned char* in = row_bytes.data();
        for (int x = 0; x < width; ++x, in += bytes_per_pixel) {
            switch (bit_number) {
            case 8: row[x] = in[0]; break;
            case 16: row[x] = static_cast<std::int16_t>(byte_order::get_le16(in)); break;
            default: row[x] = byte_order::get_le_float(in); break;
            }
        }
    }
    return true;
}
