#include "tile_shapes.h"

#include "byte_order.h"
#include "platform.h"

#include <cmath>

TileShapes::TileShapes(const std::string& shp_path, int dx, int dy) : file_(open_file(shp_path, "rb")), dx_(dx), dy_(dy)
{
    if (!file_) return;
    const std::optional<std::uint64_t> size = file_size(file_.get());
    if (!size) {
        file_.reset();
        return;
    }
    size_ = static_cast<std::int64_t>(*size);
}

bool TileShapes::read(std::vector<EdgeRing>& rings, std::int64_t offset)
{
    rings.clear();
    if (!file_) return false;
    if (offset < 0) offset = next_;
    unsigned char header[8];
    if (!seek_to(file_.get(), static_cast<std::uint64_t>(offset)) ||
        std::fread(header, 1, 8, file_.get()) != 8)
        return false;
    const std::int64_t content = 2 * static_cast<std::int64_t>(byte_order::get_be32(header + 4));
    if (content < 44 || offset + 8 + content > size_) return false;
    buffer_.resize(static_cast<std::size_t>(content));
    if (std::fread(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size()) return false;
    const unsigned char* p = buffer_.data();
    const std::int32_t parts = byte_order::get_le32_signed(p + 36);
    const std::int32_t points = byte_order::get_le32_signed(p + 40);
    if (byte_order::get_le32(p) != 5 || parts < 0 || points < 0 ||
        44 + 4 * static_cast<std::int64_t>(parts) + 16 * static_cast<std::int64_t>(points) != content)
        return false;
    const unsigned char* xy = p + 44 + 4 * parts;
    for (std::int32_t r = 0; r < parts; ++r) {
        const std::int32_t begin = byte_order::get_le32_signed(p + 44 + 4 * r);
        const std::int32_t end = r + 1 < parts ? byte_order::get_le32_signed(p + 48 + 4 * r) : points;
        if (begin < 0 || end < begin || end > points) return false;
        EdgeRing ring;
        ring.reserve(static_cast<std::size_t>(end - begin));
        for (std::int32_t v = begin; v < end; ++v) {
            const double x = byte_order::get_le_double(xy + 16 * v);
            const double y = byte_order::get_le_double(xy + 16 * v + 8);
            ring.push_back(Corner{static_cast<std::int32_t>(std::lround(x)) + dx_,
                                  static_cast<std::int32_t>(std::lround(y)) + dy_});
        }
        rings.push_back(std::move(ring));
    }
    next_ = offset + 8 + content;
    return true;
}
