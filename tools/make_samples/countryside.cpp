#include "countryside.h"

#include "fixed_point.h"
#include "noise.h"

#include <algorithm>

namespace samples {

namespace {

enum : std::uint32_t { field_seed = 21, patch_seed = 22, road_seed = 23, hill_seed = 24, knoll_seed = 25 };

// Centre lines end to end, widths in tenths of a pixel. Roads 5 and 6 end
// just past the centre line of the road they join (T junctions).
std::vector<Band> country_roads()
{
    return {
        {0, 141, 1023, 235, 30},  {0, 741, 1023, 641, 20}, {197, 0, 262, 1023, 30}, {771, 0, 665, 1023, 20},
        {0, 994, 994, 0, 20},     {225, 472, 729, 428, 15}, {472, 183, 561, 688, 10}, {560, 1023, 1023, 800, 20},
    };
}

// The overpasses: which road is raised over which, and how high.
struct Overpass {
    int over, under, rise_cm;
};
const Overpass overpasses[] = {{4, 0, 700}, {2, 1, 600}, {7, 3, 500}};

constexpr int ramp_px = 30;   // a deck slopes down to the terrain over this distance either side
constexpr int bank_px = 3;    // width of the embankment's sides

// Woods: dark round patches, centre and radius.
struct Wood {
    int x, y, r;
};
const Wood woods[] = {{380, 300, 34}, {880, 520, 26}, {120, 880, 40}, {640, 860, 22}};

std::int64_t cross(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by) { return ax * by - ay * bx; }

// Where two centre lines cross between their ends, if they do.
bool crossing_of(const Band& a, const Band& b, Crossing& c)
{
    const std::int64_t adx = a.x2 - a.x1, ady = a.y2 - a.y1, bdx = b.x2 - b.x1, bdy = b.y2 - b.y1;
    std::int64_t den = cross(adx, ady, bdx, bdy);
    if (den == 0) return false;
    std::int64_t t = cross(b.x1 - a.x1, b.y1 - a.y1, bdx, bdy);  // along a, times den
    std::int64_t u = cross(b.x1 - a.x1, b.y1 - a.y1, adx, ady);  // along b, times den
    if (den < 0) {
        den = -den;
        t = -t;
        u = -u;
    }
    if (t < 0 || t > den || u < 0 || u > den) return false;
    c.x = a.x1 * fixed_one + divide_rounded(adx * t * fixed_one, den);
    c.y = a.y1 * fixed_one + divide_rounded(ady * t * fixed_one, den);
    return true;
}

// Height in millimetres that the deck of `road` adds at the centre of pixel
// (x, y), for the overpass at crossing c.
std::int64_t deck_rise_mm(const Band& road, const Crossing& c, int x, int y)
{
    const std::int64_t dx = road.x2 - road.x1, dy = road.y2 - road.y1;
    const std::int64_t length = integer_sqrt((dx * dx + dy * dy) * fixed_one * fixed_one);  // fixed point
    const std::int64_t wx = (2 * x + 1) * fixed_one / 2 - c.x, wy = (2 * y + 1) * fixed_one / 2 - c.y;
    const std::int64_t along = (wx * dx + wy * dy) * fixed_one / length;
    std::int64_t across = (wx * dy - wy * dx) * fixed_one / length;
    if (across < 0) across = -across;
    const std::int64_t ramp = ramp_px * fixed_one, bank = bank_px * fixed_one;
    const std::int64_t deck = road.width_tenths * fixed_one / 20 + fixed_one;  // half the road, and a pixel
    if (along <= -ramp || along >= ramp || across >= deck + bank) return 0;
    const std::int64_t rise = static_cast<std::int64_t>(c.rise_cm) * 10 * (ramp * ramp - along * along) / (ramp * ramp);
    return across <= deck ? rise : rise * (deck + bank - across) / bank;
}

}  // namespace

Countryside make_countryside()
{
    Countryside land;
    land.roads = country_roads();
    const int n = static_cast<int>(land.roads.size());
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            Crossing c;
            c.first = i;
            c.second = j;
            if (!crossing_of(land.roads[i], land.roads[j], c)) continue;
            for (const Overpass& o : overpasses)
                if ((o.over == i && o.under == j) || (o.over == j && o.under == i)) {
                    c.raised_road = o.over;
                    c.rise_cm = o.rise_cm;
                }
            land.crossings.push_back(c);
        }
    return land;
}

Grid<std::uint8_t> roads_image(const Countryside& land)
{
    Grid<std::uint8_t> image(country_size, country_size);
    for (int y = 0; y < country_size; ++y)
        for (int x = 0; x < country_size; ++x) {
            int grey = 160 + smooth_noise(x, y, 160, field_seed, 22) + smooth_noise(x, y, 40, patch_seed, 8) +
                       grain(x, y, field_seed, 5);
            for (const Wood& w : woods)
                if ((x - w.x) * (x - w.x) + (y - w.y) * (y - w.y) <= w.r * w.r)
                    grey = 84 + smooth_noise(x, y, 8, patch_seed, 10) + grain(x, y, patch_seed, 4);
            for (const Band& road : land.roads)
                if (road.covers(x, y)) grey = 62 + smooth_noise(x, y, 50, road_seed, 6) + grain(x, y, road_seed, 4);
            image(x, y) = static_cast<std::uint8_t>(std::clamp(grey, 0, 255));
        }
    return image;
}

Grid<float> terrain_model(const Countryside& land)
{
    Grid<float> metres(country_size, country_size);
    for (int y = 0; y < country_size; ++y)
        for (int x = 0; x < country_size; ++x) {
            const std::int64_t mm = 230000 + smooth_noise(x, y, 256, hill_seed, 20000) +
                                    smooth_noise(x, y, 64, knoll_seed, 2000) + grain(x, y, knoll_seed, 40);
            metres(x, y) = static_cast<float>(mm);
        }
    // The decks, each over a square around its crossing.
    for (const Crossing& c : land.crossings) {
        if (c.raised_road < 0) continue;
        const Band& road = land.roads[c.raised_road];
        const int reach = ramp_px + road.width_tenths / 10 + bank_px + 2;
        const int cx = static_cast<int>(c.x / fixed_one), cy = static_cast<int>(c.y / fixed_one);
        for (int y = std::max(0, cy - reach); y <= std::min(country_size - 1, cy + reach); ++y)
            for (int x = std::max(0, cx - reach); x <= std::min(country_size - 1, cx + reach); ++x)
                metres(x, y) += static_cast<float>(deck_rise_mm(road, c, x, y));
    }
    for (float& v : metres.cells()) v /= 1000.0f;
    return metres;
}

}  // namespace samples
