#include "shapefile_builder.h"

#include "byte_order.h"

#include <algorithm>

using namespace testsupport;

TestRing test_rectangle(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
}

namespace {

std::array<double, 4> box_of(const std::vector<TestRing>& rings)
{
    std::array<double, 4> box = {1e300, 1e300, -1e300, -1e300};
    for (const auto& ring : rings)
        for (const auto& [x, y] : ring) {
            box[0] = std::min(box[0], x);
            box[1] = std::min(box[1], y);
            box[2] = std::max(box[2], x);
            box[3] = std::max(box[3], y);
        }
    return box;
}

void append_le_double(Bytes& out, double v) { byte_order::append_le_double(out, v); }

}  // namespace

Bytes polygon_shapefile(const std::vector<TestRecord>& records, std::optional<std::array<double, 4>> header_box)
{
    Bytes body;
    std::vector<TestRing> all;
    std::int32_t number = 0;
    for (const TestRecord& record : records) {
        all.insert(all.end(), record.rings.begin(), record.rings.end());
        Bytes content;
        byte_order::append_le32(content, static_cast<std::uint32_t>(record.shape_type.value_or(5)));
        for (double v : record.box.value_or(box_of(record.rings))) append_le_double(content, v);
        std::int32_t points = 0;
        for (const auto& ring : record.rings) points += static_cast<std::int32_t>(ring.size());
        byte_order::append_le32(content, static_cast<std::uint32_t>(record.numparts.value_or(
                                             static_cast<std::int32_t>(record.rings.size()))));
        byte_order::append_le32(content, static_cast<std::uint32_t>(record.numpoints.value_or(points)));
        std::int32_t start = 0;
        for (const auto& ring : record.rings) {
            byte_order::append_le32(content, static_cast<std::uint32_t>(start));
            start += static_cast<std::int32_t>(ring.size());
        }
        for (const auto& ring : record.rings)
            for (const auto& [x, y] : ring) {
                append_le_double(content, x);
                append_le_double(content, y);
            }
        number = record.number.value_or(number + 1);
        byte_order::append_be32(body, static_cast<std::uint32_t>(number));
        byte_order::append_be32(body, static_cast<std::uint32_t>(
                                          record.content_words.value_or(static_cast<std::int32_t>(content.size() / 2))));
        body.insert(body.end(), content.begin(), content.end());
    }
    Bytes shp;
    byte_order::append_be32(shp, 9994);
    for (int i = 0; i < 5; ++i) byte_order::append_be32(shp, 0);
    byte_order::append_be32(shp, static_cast<std::uint32_t>(50 + body.size() / 2));
    byte_order::append_le32(shp, 1000);
    byte_order::append_le32(shp, 5);
    const std::array<double, 4> box = header_box.value_or(all.empty() ? std::array<double, 4>{} : box_of(all));
    for (double v : box) append_le_double(shp, v);
    for (int i = 0; i < 4; ++i) append_le_double(shp, 0);
    shp.insert(shp.end(), body.begin(), body.end());
    return shp;
}

std::vector<std::vector<TestRing>> shapefile_rings(const Bytes& shp)
{
    std::vector<std::vector<TestRing>> records;
    std::size_t at = 100;
    while (at + 8 <= shp.size()) {
        const std::size_t content = at + 8;
        const std::uint32_t parts = le32(shp, content + 36), points = le32(shp, content + 40);
        std::vector<std::uint32_t> starts;
        for (std::uint32_t p = 0; p < parts; ++p) starts.push_back(le32(shp, content + 44 + 4 * p));
        starts.push_back(points);
        const std::size_t xy = content + 44 + 4 * parts;
        std::vector<TestRing> rings;
        for (std::uint32_t p = 0; p < parts; ++p) {
            TestRing ring;
            for (std::uint32_t v = starts[p]; v < starts[p + 1]; ++v)
                ring.emplace_back(le_double(shp, xy + 16 * v), le_double(shp, xy + 16 * v + 8));
            rings.push_back(ring);
        }
        records.push_back(rings);
        at = content + 2 * static_cast<std::size_t>(be32(shp, at + 4));
    }
    return records;
}

void write_float_background(const std::string& raw_path, const std::string& dim_path, int width, int height,
                            const std::vector<float>& top_down_values)
{
    Bytes raw;
    for (float v : top_down_values) {
        const std::size_t o = raw.size();
        raw.resize(o + 4);
        byte_order::put_le_float(raw.data() + o, v);
    }
    write_bytes(raw_path, raw);
    write_text(dim_path, std::to_string(width) + "\t" + std::to_string(height) + "\n");
}
