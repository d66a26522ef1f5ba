#include "crossing_height.h"

namespace {

struct Offset {
    int dx, dy;
};

constexpr Offset row_cells[8] = {{-10, 0}, {-11, 0}, {-10, 1}, {-11, 1}, {10, 0}, {11, 0}, {10, 1}, {11, 1}};
constexpr Offset column_cells[8] = {{0, 10}, {0, 11}, {1, 10}, {1, 11}, {0, -10}, {0, -11}, {1, -10}, {1, -11}};

bool inside(const Grid<float>& Dtm, long long x, long long y)
{
    return x >= 0 && y >= 0 && x < Dtm.width() && y < Dtm.height();
}

float mean_of_eight(const Grid<float>& Dtm, int x, int y, const Offset (&cells)[8])
{
    float sum = 0;
    for (const Offset& c : cells) {
        const long long cx = static_cast<long long>(x) + c.dx, cy = static_cast<long long>(y) + c.dy;
        if (inside(Dtm, cx, cy)) sum += Dtm(static_cast<int>(cx), static_cast<int>(cy));
    }
    return sum / 8;
}

}  // namespace

float peak_around(const Grid<float>& Dtm, int x, int y)
{
    float k = 0;
    for (long long cy = static_cast<long long>(y) - 2; cy <= static_cast<long long>(y) + 2; ++cy)
        for (long long cx = static_cast<long long>(x) - 2; cx <= static_cast<long long>(x) + 2; ++cx)
            if (inside(Dtm, cx, cy)) {
                const float value = Dtm(static_cast<int>(cx), static_cast<int>(cy));
                if (value > k) k = value;
            }
    return k;
}

float row_mean(const Grid<float>& Dtm, int x, int y)
{
    return mean_of_eight(Dtm, x, y, row_cells);
}

float column_mean(const Grid<float>& Dtm, int x, int y)
{
    return mean_of_eight(Dtm, x, y, column_cells);
}
