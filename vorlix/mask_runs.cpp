#include "mask_runs.h"

#include <vector>

namespace {

// |a - b|, held up to the top value.
std::uint16_t difference(int a, int b)
{
    const int d = a > b ? a - b : b - a;
    return static_cast<std::uint16_t>(d < 0xFFFF ? d : 0xFFFF);
}

}  // namespace

MaskRuns::MaskRuns(const Grid<std::uint8_t>& mask)
    : across_row_(mask.width(), mask.height(), 0), across_column_(mask.width(), mask.height(), 0)
{
    const int width = mask.width();
    const int height = mask.height();
    if (width > counted_again || height > counted_again) long_runs_mask_ = mask;
    // Runs from the next pixel on: forwards from the far edge, backwards
    // from the near one.
    std::vector<int> forth(width > height ? width : height), back(forth.size());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = mask.row(y);
        for (int x = width - 1; x >= 0; --x) forth[x] = x + 1 < width && row[x + 1] != 255 ? forth[x + 1] + 1 : 0;
        for (int x = 0; x < width; ++x) back[x] = x > 0 && row[x - 1] != 255 ? back[x - 1] + 1 : 0;
        std::uint16_t* out = across_row_.row(y);
        for (int x = 0; x < width; ++x) out[x] = difference(forth[x], back[x]);
    }
    if (height > counted_again) {  // runs down a column may not fit the table: all counted again
        across_column_.fill(counted_again);
        return;
    }
    // The runs below each pixel go into the table first (they fit: the
    // height is below the top value), then each is replaced by its
    // difference with the run above.
    std::vector<int> down(width, 0), up(width, 0);
    for (int y = height - 1; y >= 0; --y) {
        // down[x] for row y from row y + 1's.
        const std::uint8_t* below = y + 1 < height ? mask.row(y + 1) : nullptr;
        for (int x = 0; x < width; ++x) down[x] = below && below[x] != 255 ? down[x] + 1 : 0;
        for (int x = 0; x < width; ++x) across_column_(x, y) = static_cast<std::uint16_t>(down[x]);
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* above = y > 0 ? mask.row(y - 1) : nullptr;
        std::uint16_t* out = across_column_.row(y);
        for (int x = 0; x < width; ++x) {
            up[x] = above && above[x] != 255 ? up[x] + 1 : 0;
            out[x] = difference(out[x], up[x]);
        }
    }
}

int MaskRuns::run(const Grid<std::uint8_t>& mask, int x, int y, int sx, int sy)
{
    int n = 0;
    for (x += sx, y += sy; mask.contains(x, y) && mask(x, y) != 255; x += sx, y += sy) ++n;
    return n;
}
