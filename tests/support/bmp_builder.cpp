#include "bmp_builder.h"

#include "byte_order.h"

#include <stdexcept>

namespace testsupport {

Palette grey_palette()
{
    Palette palette(256);
    for (std::uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
    return palette;
}

Bytes make_bmp(int width, int height, const std::vector<std::uint8_t>& pixels, const Palette& palette,
               const BmpLayout& layout)
{
    const int stride = (width + 3) / 4 * 4;
    const std::size_t palette_offset = 14 + static_cast<std::size_t>(layout.info_header_size);
    const std::size_t data_offset = palette_offset + 4 * static_cast<std::size_t>(layout.palette_entries) + layout.extra_gap;
    const std::size_t data_size = static_cast<std::size_t>(stride) * height;
    Bytes b(data_offset + data_size, 0);
    b[0] = 'B';
    b[1] = 'M';
    byte_order::put_le32(b.data() + 2, static_cast<std::uint32_t>(b.size()));
    byte_order::put_le32(b.data() + 10, static_cast<std::uint32_t>(data_offset));
    byte_order::put_le32(b.data() + 14, static_cast<std::uint32_t>(layout.info_header_size));
    byte_order::put_le32(b.data() + 18, static_cast<std::uint32_t>(width));
    byte_order::put_le32(b.data() + 22, static_cast<std::uint32_t>(layout.top_down ? -height : height));
    byte_order::put_le16(b.data() + 26, 1);
    byte_order::put_le16(b.data() + 28, 8);
    byte_order::put_le32(b.data() + 34, static_cast<std::uint32_t>(data_size));
    byte_order::put_le32(b.data() + 38, 2800);
    byte_order::put_le32(b.data() + 42, 2800);
    byte_order::put_le32(b.data() + 46, static_cast<std::uint32_t>(layout.palette_entries));
    byte_order::put_le32(b.data() + 50, static_cast<std::uint32_t>(layout.palette_entries));
    for (int i = 0; i < layout.palette_entries; ++i) {
        const std::uint32_t rgb = i < static_cast<int>(palette.size()) ? palette[i] : 0;
        const std::size_t o = palette_offset + 4 * static_cast<std::size_t>(i);
        b[o] = static_cast<unsigned char>(rgb);
        b[o + 1] = static_cast<unsigned char>(rgb >> 8);
        b[o + 2] = static_cast<unsigned char>(rgb >> 16);
    }
    for (int r = 0; r < height; ++r) {
        const int y = layout.top_down ? r : height - 1 - r;  // picture row stored at file row r
        const std::size_t o = data_offset + static_cast<std::size_t>(r) * stride;
        for (int x = 0; x < width; ++x) b[o + x] = pixels.at(static_cast<std::size_t>(y) * width + x);
        for (int x = width; x < stride; ++x) b[o + x] = layout.padding_value;
    }
    return b;
}

std::vector<std::uint8_t> bmp_pixels(const Bytes& file)
{
    if (file.size() < 54) throw std::runtime_error("not a BMP");
    const int width = static_cast<int>(le32(file, 18));
    const int height = static_cast<int>(le32(file, 22));
    const std::size_t offset = le32(file, 10);
    const int stride = (width + 3) / 4 * 4;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height);
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(height - 1 - r) * width + x] = file.at(offset + static_cast<std::size_t>(r) * stride + x);
    return pixels;
}

}  // namespace testsupport
