#include "slicer_bmp.h"

#include "bmp.h"
#include "bmp_file.h"
#include "byte_order.h"
#include "platform.h"

#include <cstring>
#include <new>

using namespace byte_order;

bool read_bmp_head(std::FILE* file, BmpHead& head)
{
    return std::fread(head.data(), 1, head.size(), file) == head.size();
}

PixelRowsProblem read_pixel_rows(std::FILE* file, const BmpHead& head, Grid<std::uint8_t>& pixels)
{
    switch (bmp_storage_problem(head.data())) {
    case BmpProblem::none:
        break;
    case BmpProblem::not_8bit:
        return PixelRowsProblem::compressed;
    default:
        return PixelRowsProblem::pixels_inside_header;
    }
    const std::int32_t width = get_le32_signed(head.data() + 18);
    const std::int32_t height = get_le32_signed(head.data() + 22);
    if (width < 0 || height < 0) return PixelRowsProblem::negative_size;

    const std::uint64_t data_offset = get_le32(head.data() + 10);
    const std::int64_t data_length = static_cast<std::int64_t>(get_le32(head.data() + 2)) - static_cast<std::int64_t>(data_offset);
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) + 3) / 4 * 4;
    const std::uint64_t needed = stride * static_cast<std::uint64_t>(height);
    const auto size = file_size(file);
    if (data_length < 0 || static_cast<std::uint64_t>(data_length) < needed || !size || *size < data_offset + needed)
        return PixelRowsProblem::short_data;

    try {
        pixels.resize(width, height);
    } catch (const std::bad_alloc&) {
        return PixelRowsProblem::out_of_memory;
    }
    if (needed == 0) return PixelRowsProblem::none;  // no pixel, however many rows of width 0
    if (!seek_to(file, data_offset)) return PixelRowsProblem::short_data;
    unsigned char padding[3];
    const std::size_t padding_size = static_cast<std::size_t>(stride) - static_cast<std::size_t>(width);
    for (std::int32_t r = 0; r < height; ++r) {
        if (std::fread(pixels.row(height - 1 - r), 1, static_cast<std::size_t>(width), file) != static_cast<std::size_t>(width) ||
            std::fread(padding, 1, padding_size, file) != padding_size)
            return PixelRowsProblem::short_data;
    }
    return PixelRowsProblem::none;
}

std::vector<unsigned char> slice_file_head(const BmpHead& head, int width, int height)
{
    std::vector<unsigned char> bytes = bmp_header_and_palette(width, height, grey_palette());
    // Keep the input's header, but make true the fields that describe where
    // and how large the written data is.
    unsigned char written[54];
    std::memcpy(written, bytes.data(), 54);
    std::memcpy(bytes.data(), head.data(), 54);
    for (int offset : {2, 10, 14, 30, 34, 46}) std::memcpy(bytes.data() + offset, written + offset, 4);
    return bytes;
}
