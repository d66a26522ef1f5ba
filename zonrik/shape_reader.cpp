#include "shape_reader.h"

#include "byte_order.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned char file_code[4] = {0x00, 0x00, 0x27, 0x0A};  // 9994, big-endian
constexpr unsigned char version_1000[4] = {0xE8, 0x03, 0x00, 0x00};
constexpr unsigned char polygon_type[4] = {0x05, 0x00, 0x00, 0x00};

constexpr std::uint64_t header_bytes = 100;
// Shape type, box, NumParts and NumPoints.
constexpr std::uint64_t polygon_fixed_bytes = 44;

}  // namespace

ShapeReader::ShapeReader(File file, std::uint64_t size) : file_(std::move(file)), size_(size) {}

bool ShapeReader::read(void* bytes, std::size_t count)
{
    if (count > bytes_left()) return false;
    if (count > 0 && std::fread(bytes, 1, count, file_.get()) != count) return false;
    position_ += count;
    return true;
}

ShapeHeader ShapeReader::read_header(std::array<double, 4>& shp_box)
{
    // The checks are made on what the file holds, in file order, so that a
    // short file that is no shapefile at all is reported as such.
    unsigned char header[header_bytes] = {};
    const std::size_t held = static_cast<std::size_t>(std::min<std::uint64_t>(size_, header_bytes));
    if (!read(header, held)) return ShapeHeader::not_a_shapefile;
    const bool complete = held == header_bytes;
    if (held < 4 || std::memcmp(header, file_code, 4) != 0) return ShapeHeader::not_a_shapefile;
    if (held < 32 || std::memcmp(header + 28, version_1000, 4) != 0) return ShapeHeader::wrong_version;
    if (held < 36 || std::memcmp(header + 32, polygon_type, 4) != 0) return ShapeHeader::not_polygon;
    if (!complete) return ShapeHeader::incomplete;
    for (int i = 0; i < 4; ++i) shp_box[i] = byte_order::get_le_double(header + 36 + 8 * i);
    return ShapeHeader::ok;
}

ShapeRead ShapeReader::read_record_number(ShapeRecord& record)
{
    if (bytes_left() == 0) return ShapeRead::end;
    unsigned char number[4];
    if (!read(number, 4)) return ShapeRead::incomplete;
    record.number = static_cast<std::int32_t>(byte_order::get_be32(number));
    if (static_cast<std::int64_t>(record.number) - indice_ != 1) return ShapeRead::wrong_index;
    indice_ = record.number;
    return ShapeRead::record;
}

ShapeRead ShapeReader::read_record_body(ShapeRecord& record)
{
    // Content length, then the record content: shape type, box, NumParts,
    // NumPoints.
    unsigned char fixed[4 + polygon_fixed_bytes];
    if (!read(fixed, 8)) return ShapeRead::incomplete;
    const std::uint64_t content_bytes = 2 * static_cast<std::uint64_t>(byte_order::get_be32(fixed));
    if (std::memcmp(fixed + 4, polygon_type, 4) != 0) return ShapeRead::not_polygon;
    if (!read(fixed + 8, polygon_fixed_bytes - 4)) return ShapeRead::incomplete;

    for (int i = 0; i < 4; ++i) record.box[i] = byte_order::get_le_double(fixed + 8 + 8 * i);
    const std::int32_t numparts = byte_order::get_le32_signed(fixed + 40);
    const std::int32_t numpoints = byte_order::get_le32_signed(fixed + 44);
    if (numparts < 0 || numpoints < 0) return ShapeRead::counts_too_large;
    const std::uint64_t list_bytes = 4 * static_cast<std::uint64_t>(numparts) + 16 * static_cast<std::uint64_t>(numpoints);
    if (polygon_fixed_bytes + list_bytes > content_bytes) return ShapeRead::counts_too_large;
    if (list_bytes > bytes_left()) return ShapeRead::incomplete;

    std::vector<unsigned char> lists(static_cast<std::size_t>(list_bytes));
    if (!read(lists.data(), lists.size())) return ShapeRead::incomplete;
    record.parts.resize(static_cast<std::size_t>(numparts));
    record.points.resize(2 * static_cast<std::size_t>(numpoints));
    const unsigned char* in = lists.data();
    for (auto& start : record.parts) {
        start = byte_order::get_le32_signed(in);
        in += 4;
        if (start < 0 || start > numpoints) return ShapeRead::part_out_of_range;
    }
    for (auto& coordinate : record.points) {
        coordinate = byte_order::get_le_double(in);
        in += 8;
    }
    return ShapeRead::record;
}
