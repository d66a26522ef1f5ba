#include "crossing_height.h"

#include <cmath>

namespace {

struct Offset {
    int dx, dy;
};

constexpr Offset row_cells[8] = {{-10, 0}, {-11, 0}, {-10, 1}, {-11, 1}, {10, 0}, {11, 0}, {10, 1}, {11, 1}};
constexpr Offset column_cells[8] = {{0, 10}, {0, 11}, {1, 10}, {1, 11}, {0, -10}, {0, -11}, {1, -10}, {1, -11}};

// Calls visit(value) for each cell (x + dx, y + dy) inside the raster, in
// the order given.
template <typename Visit>
void visit_cell(const Grid<float>& Dtm, int x, int y, long long dx, long long dy, Visit& visit)
{
    const long long cx = x + dx, cy = y + dy;
    if (cx >= 0 && cy >= 0 && cx < Dtm.width() && cy < Dtm.height())
        visit(Dtm(static_cast<int>(cx), static_cast<int>(cy)));
}

// The 5 x 5 window centred on (x, y), row by row.
template <typename Visit>
void visit_window(const Grid<float>& Dtm, int x, int y, Visit visit)
{
    for (long long dy = -2; dy <= 2; ++dy)
        for (long long dx = -2; dx <= 2; ++dx) visit_cell(Dtm, x, y, dx, dy, visit);
}

template <typename Visit>
void visit_cells(const Grid<float>& Dtm, int x, int y, const Offset (&cells)[8], Visit visit)
{
    for (const Offset& c : cells) visit_cell(Dtm, x, y, c.dx, c.dy, visit);
}

float mean_of_eight(const Grid<float>& Dtm, int x, int y, const Offset (&cells)[8])
{
    float sum = 0;
    visit_cells(Dtm, x, y, cells, [&](float value) { sum += value; });
    return sum / 8;
}

}  // namespace

float peak_around(const Grid<float>& Dtm, int x, int y)
{
    float k = 0;
    visit_window(Dtm, x, y, [&](float value) {
        if (value > k) k = value;
    });
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

bool measured_on_nodata(const Grid<float>& Dtm, int x, int y)
{
    bool nodata = false;
    auto look = [&](float value) { nodata = nodata || std::isnan(value); };
    visit_window(Dtm, x, y, look);
    visit_cells(Dtm, x, y, row_cells, look);
    visit_cells(Dtm, x, y, column_cells, look);
    return nodata;
}
