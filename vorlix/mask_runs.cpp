#include "mask_runs.h"

namespace {

// run(next) + 1 when the next pixel is a line pixel, else 0, held up to the top value.
std::uint16_t extend(bool next_is_line, std::uint16_t next_run)
{
    if (!next_is_line) return 0;
    return next_run == 0xFFFF ? next_run : static_cast<std::uint16_t>(next_run + 1);
}

}  // namespace

MaskRuns::MaskRuns(const Grid<std::uint8_t>& mask)
    : right_(mask.width(), mask.height(), 0),
      left_(mask.width(), mask.height(), 0),
      down_(mask.width(), mask.height(), 0),
      up_(mask.width(), mask.height(), 0)
{
    const int width = mask.width();
    const int height = mask.height();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = mask.row(y);
        std::uint16_t* r = right_.row(y);
        std::uint16_t* l = left_.row(y);
        for (int x = width - 2; x >= 0; --x) r[x] = extend(row[x + 1] != 255, r[x + 1]);
        for (int x = 1; x < width; ++x) l[x] = extend(row[x - 1] != 255, l[x - 1]);
    }
    for (int y = height - 2; y >= 0; --y) {
        const std::uint8_t* below = mask.row(y + 1);
        const std::uint16_t* next = down_.row(y + 1);
        std::uint16_t* d = down_.row(y);
        for (int x = 0; x < width; ++x) d[x] = extend(below[x] != 255, next[x]);
    }
    for (int y = 1; y < height; ++y) {
        const std::uint8_t* above = mask.row(y - 1);
        const std::uint16_t* next = up_.row(y - 1);
        std::uint16_t* u = up_.row(y);
        for (int x = 0; x < width; ++x) u[x] = extend(above[x] != 255, next[x]);
    }
    if (width > counted_again || height > counted_again) long_runs_mask_ = mask;
}

int MaskRuns::count_again(int x, int y, int sx, int sy) const
{
    int n = 0;
    for (x += sx, y += sy; long_runs_mask_.contains(x, y) && long_runs_mask_(x, y) != 255; x += sx, y += sy) ++n;
    return n;
}
