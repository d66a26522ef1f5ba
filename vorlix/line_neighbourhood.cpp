#include "line_neighbourhood.h"

LineNeighbourhood::LineNeighbourhood(const Grid<std::uint8_t>& mask)
    : counts_(mask.width(), mask.height(), 0)
{
    const std::size_t cells = mask.cells().size();
    line_.assign((cells + 63) / 64, 0);
    near_.assign((cells + 63) / 64, 0);
    line_by_column_.assign((cells + 63) / 64, 0);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            if (mask(x, y) == 255) continue;
            set(line_, cell(x, y), true);
            set(line_by_column_, column_cell(x, y), true);
            for (int yy = y - 1; yy <= y + 1; ++yy)
                for (int xx = x - 1; xx <= x + 1; ++xx)
                    if (counts_.contains(xx, yy)) {
                        ++counts_(xx, yy);
                        set(near_, cell(xx, yy), true);
                    }
        }
}

void LineNeighbourhood::consumed(int x, int y)
{
    set(line_, cell(x, y), false);
    set(line_by_column_, column_cell(x, y), false);
    for (int yy = y - 1; yy <= y + 1; ++yy)
        for (int xx = x - 1; xx <= x + 1; ++xx)
            if (counts_.contains(xx, yy) && --counts_(xx, yy) == 0) set(near_, cell(xx, yy), false);
}
