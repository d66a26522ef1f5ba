#include "record_arrays.h"

#include <stdexcept>

void RecordArrays::append_record(const std::vector<std::vector<std::pair<double, double>>>& parts)
{
    std::size_t vertices = 0;
    for (const auto& vertices_of_part : parts) vertices += vertices_of_part.size();
    part.push_back(static_cast<std::int32_t>(parts.size()));
    part.push_back(static_cast<std::int32_t>(vertices));
    std::int32_t start = 0;
    for (const auto& vertices_of_part : parts) {
        part.push_back(start);
        start += static_cast<std::int32_t>(vertices_of_part.size());
        for (const auto& [x, y] : vertices_of_part) {
            point.push_back(x);
            point.push_back(y);
        }
    }
    part.push_back(record_end_mark);
}

std::vector<RecordArrays::Layout> RecordArrays::record_layouts() const
{
    std::vector<Layout> layouts;
    std::size_t i = 0;
    std::size_t next_point = 0;
    while (i < part.size()) {
        if (i + 1 >= part.size()) throw std::invalid_argument("record without NumPoints");
        Layout layout{i, next_point, part[i], part[i + 1]};
        if (layout.parts < 0 || layout.points < 0) throw std::invalid_argument("negative part or point count");
        std::size_t end = i + 2;
        while (end < part.size() && part[end] != record_end_mark) ++end;
        if (end == part.size()) throw std::invalid_argument("record without its end mark");
        if (end - (i + 2) < static_cast<std::size_t>(layout.parts))
            throw std::invalid_argument("fewer part starts than parts");
        if (layout.points > 0 && layout.parts == 0) throw std::invalid_argument("vertices outside any part");
        for (std::int32_t p = 0; p < layout.parts; ++p) {
            const std::int32_t start = part[i + 2 + p];
            const std::int32_t previous = p == 0 ? 0 : part[i + 1 + p];
            if ((p == 0 && start != 0) || start < previous || start > layout.points)
                throw std::invalid_argument("part starts out of order");
        }
        next_point += 2 * static_cast<std::size_t>(layout.points);
        if (next_point > point.size()) throw std::invalid_argument("vertices missing");
        layouts.push_back(layout);
        i = end + 1;
    }
    return layouts;
}
