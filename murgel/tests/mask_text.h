// Small masks written as text for tests: one string per image row, '#' for
// foreground and '.' for background, wrapped in the border ring of 0.
#pragma once

#include "grid.h"

#include <cstdint>
#include <string>
#include <vector>

inline Grid<std::uint8_t> mask_from_rows(const std::vector<std::string>& rows)
{
    const int height = static_cast<int>(rows.size());
    const int width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    Grid<std::uint8_t> mask(width + 2, height + 2, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) mask(x + 1, y + 1) = rows[y][x] == '#' ? 1 : 0;
    return mask;
}

// The image cells back as rows of text: '#' for 1, '.' for 0, and the digit
// of any other code.
inline std::vector<std::string> rows_of(const Grid<std::uint8_t>& mask)
{
    std::vector<std::string> rows;
    for (int y = 1; y <= mask.height() - 2; ++y) {
        std::string row;
        for (int x = 1; x <= mask.width() - 2; ++x) {
            const int v = mask(x, y);
            row += v == 1 ? '#' : v == 0 ? '.' : static_cast<char>('0' + v % 10);
        }
        rows.push_back(row);
    }
    return rows;
}
