#include "bmp_file.h"

#include "byte_order.h"
#include "platform.h"

#include <climits>
#include <new>

using namespace byte_order;

std::string layout_problem_text(const RasterProblem& problem)
{
    switch (problem.kind) {
    case RasterProblem::Kind::bad_layout:
        return "\nError: the BMP header gives a negative width or places the pixels inside the header\n";
    case RasterProblem::Kind::truncated:
        return "\nError: the BMP file is shorter than its header says\n";
    case RasterProblem::Kind::dim_cannot_open:
        return "\nError in opening '.dim' file\n";
    case RasterProblem::Kind::dim_invalid:
        return "\nError: '" + problem.path + "' does not hold a width and a height of zero or more\n";
    default:
        return "";
    }
}

std::string class_map_problem_text(const RasterProblem& problem)
{
    switch (problem.kind) {
    case RasterProblem::Kind::not_bmp:
        return "\nNot a valid BMP format";
    case RasterProblem::Kind::not_8bit:
        return "\nNot a valid 8 bit BMP format";
    case RasterProblem::Kind::out_of_memory:
        return "error in memory allocation\n";
    default:
        return layout_problem_text(problem);
    }
}

namespace {

// Where the palette starts: after the info header, 40 bytes in the suite's
// layout (a shorter one is taken as 40).
std::uint64_t palette_offset_of(const std::uint8_t* head)
{
    const std::uint32_t info_size = get_le32(head + 14);
    return info_size > 40 ? 14ull + info_size : 54ull;
}

}  // namespace

BmpProblem bmp_storage_problem(const std::uint8_t* head)
{
    if (get_le32(head + 30) != 0) return BmpProblem::not_8bit;  // RLE rows are not read
    if (get_le32(head + 10) < palette_offset_of(head)) return BmpProblem::bad_layout;
    return BmpProblem::none;
}

BmpProblem BmpRowReader::open(const std::string& path)
{
    file_ = open_file(path, "rb");
    if (!file_) return BmpProblem::cannot_open;
    std::FILE* file = file_.get();

    unsigned char head[54] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    if (got < 2 || head[0] != 'B' || head[1] != 'M') return BmpProblem::not_bmp;
    if (got < 29 || head[28] != 8) return BmpProblem::not_8bit;
    if (got < sizeof head) return BmpProblem::truncated;
    if (const BmpProblem problem = bmp_storage_problem(head); problem != BmpProblem::none) return problem;

    const std::int32_t width = get_le32_signed(head + 18);
    const std::int32_t stored_height = get_le32_signed(head + 22);
    if (width < 0 || stored_height == INT32_MIN) return BmpProblem::bad_layout;
    top_down_ = stored_height < 0;
    const std::int32_t height = top_down_ ? -stored_height : stored_height;

    const std::uint64_t palette_offset = palette_offset_of(head);
    const std::uint32_t used = get_le32(head + 46);
    const std::uint64_t palette_entries = (used == 0 || used > 256) ? 256 : used;
    const std::uint64_t data_offset = get_le32(head + 10);
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) + 3) / 4 * 4;
    const std::uint64_t data_size = stride * static_cast<std::uint64_t>(height);

    const auto size = file_size(file);
    if (!size) return BmpProblem::truncated;
    if (*size < palette_offset + 4 * palette_entries || *size < data_offset + data_size) return BmpProblem::truncated;

    palette_.fill(0);
    if (!seek_to(file, palette_offset) ||
        std::fread(palette_.data(), 4, palette_entries, file) != palette_entries ||
        !seek_to(file, data_offset))
        return BmpProblem::truncated;

    width_ = width;
    height_ = height;
    stride_ = static_cast<std::size_t>(stride);
    return BmpProblem::none;
}

BmpProblem read_bmp_indices(const std::string& path, BmpIndices& image)
{
    BmpRowReader reader;
    BmpProblem problem = reader.open(path);
    if (problem != BmpProblem::none) return problem;
    try {
        image.indices.resize(reader.width(), reader.height());
    } catch (const std::bad_alloc&) {
        return BmpProblem::out_of_memory;
    }
    const std::size_t width = static_cast<std::size_t>(reader.width());
    problem = reader.read_rows([&](int y, const std::uint8_t* row) { std::copy(row, row + width, image.indices.row(y)); });
    if (problem != BmpProblem::none) return problem;
    image.palette = reader.palette();
    return BmpProblem::none;
}

std::vector<unsigned char> bmp_header_and_palette(int width, int height, const std::array<std::uint8_t, 1024>& palette)
{
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) + 3) / 4 * 4;
    const std::uint32_t image_size = stride * static_cast<std::uint32_t>(height);
    std::vector<unsigned char> bytes(1078, 0);
    unsigned char* h = bytes.data();
    h[0] = 'B';
    h[1] = 'M';
    put_le32(h + 2, 1078 + image_size);
    put_le32(h + 10, 1078);
    put_le32(h + 14, 40);
    put_le32(h + 18, static_cast<std::uint32_t>(width));
    put_le32(h + 22, static_cast<std::uint32_t>(height));
    put_le16(h + 26, 1);
    put_le16(h + 28, 8);
    put_le32(h + 34, image_size);
    put_le32(h + 38, 2800);
    put_le32(h + 42, 2800);
    put_le32(h + 46, 256);
    put_le32(h + 50, 256);
    std::copy(palette.begin(), palette.end(), bytes.begin() + 54);
    return bytes;
}
