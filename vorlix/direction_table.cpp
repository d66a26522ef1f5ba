#include "direction_table.h"

#include <cmath>

namespace {

double offset_length(const Offset& o)
{
    return std::sqrt(static_cast<double>(o.dx * o.dx + o.dy * o.dy));
}

// The direction's offsets up to and including the first whose length exceeds
// `raggio`.
std::vector<Offset> generate_direction(int a, int raggio)
{
    const double t = std::fabs(std::tan(a * 3.14159265359 / 180));
    double u = 0.0;
    double v = 0.0;
    std::vector<Offset> offsets;
    for (;;) {
        if (a <= 45) {
            u = u + 1;
            v = -u * t;
        } else if (a <= 90) {
            v = v - 1;
            if (a != 90) u = v * (-1 / t);
        } else if (a <= 135) {
            v = v - 1;
            u = v * (1 / t);
        } else {
            u = u - 1;
            v = t * u;
        }
        const Offset o{static_cast<int>(std::floor(u + 0.5)), static_cast<int>(std::floor(v + 0.5))};
        offsets.push_back(o);
        if (offset_length(o) > raggio) return offsets;
    }
}

}  // namespace

DirectionTable::DirectionTable(int max_raggio) : max_raggio_(max_raggio), offsets_(directions)
{
    for (int a = 0; a < directions; ++a) offsets_[a] = generate_direction(a, max_raggio);
}

int DirectionTable::num_offset(int a, int raggio) const
{
    const std::vector<Offset>& list = offsets_[a];
    int k = 0;
    while (k + 1 < static_cast<int>(list.size()) && !(offset_length(list[k]) > raggio)) ++k;
    return k + 1;
}

int direction_table_radius(int max_raggio, int width, int height)
{
    const long long reach = static_cast<long long>(width) + height;
    return max_raggio < reach ? max_raggio : static_cast<int>(reach);
}
