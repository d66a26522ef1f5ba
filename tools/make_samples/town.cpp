#include "town.h"

#include "shadow.h"
#include "shapes.h"
#include "sun.h"

#include <utility>

namespace samples {

namespace {

constexpr int border = 8;           // roofs and shadows keep this far from the picture's edge
constexpr int gap = 4;              // free pixels between one building (with its shadow) and the next
constexpr int sidewalk_tenths = 60; // both sidewalks together
constexpr int setback_tenths = 80;  // front yards: buildings stand back from the sidewalks

// Streets, centre lines given end to end across the picture: a grid of
// four by four and an avenue across the upper left.
std::vector<Band> town_streets()
{
    return {
        {-20, 150, 1043, 150, 140}, {-20, 432, 1043, 432, 140}, {-20, 716, 1043, 716, 160},
        {-20, 958, 1043, 958, 120}, {118, -20, 118, 1043, 140}, {402, -20, 402, 1043, 160},
        {688, -20, 688, 1043, 140}, {930, -20, 930, 1043, 120}, {-20, 640, 420, -20, 140},
    };
}

// The buildings wanted, big ones first so that they find room.
std::vector<std::pair<Shape, int>> building_schedule()
{
    return {
        {Shape::courtyard, 3}, {Shape::u_shape, 4},     {Shape::t_shape, 3},
        {Shape::corner_pair, 3}, {Shape::l_shape, 10}, {Shape::rectangle, 70},
    };
}

constexpr int attempts_per_building = 400;

class Builder {
public:
    explicit Builder(std::uint64_t seed) : rng_(seed)
    {
        town_.streets = town_streets();
        town_.building_id.resize(town_size, town_size, 0);
        town_.shadow.resize(town_size, town_size, 0);
        town_.surface.resize(town_size, town_size, Surface::grass);
        town_.clutter.resize(town_size, town_size, Clutter::none);
        no_footprint_.resize(town_size, town_size, 0);
        taken_.resize(town_size, town_size, 0);
        lay_streets();
    }

    Town build()
    {
        for (const auto& [shape, count] : building_schedule())
            for (int n = 0; n < count; ++n) place(shape);
        plant_trees();
        park_cars();
        scatter_glints();
        spot_roofs();
        put_up_fences();
        return std::move(town_);
    }

private:
    void lay_streets()
    {
        for (int y = 0; y < town_size; ++y)
            for (int x = 0; x < town_size; ++x)
                for (const Band& street : town_.streets) {
                    if (street.covers(x, y))
                        town_.surface(x, y) = Surface::street;
                    else if (street.widened(sidewalk_tenths).covers(x, y) && town_.surface(x, y) != Surface::street)
                        town_.surface(x, y) = Surface::sidewalk;
                    if (street.widened(sidewalk_tenths + setback_tenths).covers(x, y)) no_footprint_(x, y) = 1;
                }
    }

    bool inside(const Pixel& p) const
    {
        return p.x >= border && p.y >= border && p.x < town_size - border && p.y < town_size - border;
    }

    // One building of the shape where it fits, if any is found.
    void place(Shape shape)
    {
        for (int attempt = 0; attempt < attempts_per_building; ++attempt) {
            Building b;
            b.shape = shape;
            b.footprint = make_footprint(shape, rng_);
            b.height_cm = make_height_cm(shape, rng_);
            b.roof_grey = rng_.range(182, 228);
            b.pitched = shape == Shape::rectangle && rng_.chance(50);
            b.footprint.x0 = rng_.range(border, town_size - border - b.footprint.mask.width());
            b.footprint.y0 = rng_.range(border, town_size - border - b.footprint.mask.height());
            if (fits(b)) {
                accept(std::move(b));
                return;
            }
        }
    }

    bool fits(Building& b)
    {
        const std::vector<Pixel> roof = b.footprint.pixels();
        for (const Pixel& p : roof)
            if (no_footprint_(p.x, p.y) || taken_(p.x, p.y)) return false;
        b.shadow = cast_shadow(b.footprint, shadow_vector(b.height_cm));
        for (const Pixel& p : b.shadow)
            if (!inside(p) || taken_(p.x, p.y)) return false;
        return true;
    }

    void accept(Building b)
    {
        b.id = static_cast<int>(town_.buildings.size()) + 1;
        std::vector<Pixel> zone = b.footprint.pixels();
        for (const Pixel& p : zone) town_.building_id(p.x, p.y) = b.id;
        for (const Pixel& p : b.shadow) town_.shadow(p.x, p.y) = 1;
        zone.insert(zone.end(), b.shadow.begin(), b.shadow.end());
        for (const Pixel& p : zone)
            for (int y = p.y - gap; y <= p.y + gap; ++y)
                for (int x = p.x - gap; x <= p.x + gap; ++x)
                    if (taken_.contains(x, y)) taken_(x, y) = 1;
        town_.buildings.push_back(std::move(b));
    }

    bool open_ground(int x, int y) const
    {
        return town_.surface.contains(x, y) && town_.surface(x, y) == Surface::grass && !taken_(x, y);
    }

    void plant_trees()
    {
        for (int n = 0; n < 260; ++n) {
            const int cx = rng_.range(0, town_size - 1), cy = rng_.range(0, town_size - 1), r = rng_.range(3, 6);
            bool free = true;
            for (int y = cy - r; y <= cy + r && free; ++y)
                for (int x = cx - r; x <= cx + r && free; ++x)
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) free = open_ground(x, y);
            if (!free) continue;
            for (int y = cy - r; y <= cy + r; ++y)
                for (int x = cx - r; x <= cx + r; ++x)
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) town_.surface(x, y) = Surface::tree;
        }
    }

    // Bright cars, 3 x 6 pixels, on open street (not in a shadow).
    void park_cars()
    {
        for (int n = 0, cars = 0; n < 600 && cars < 30; ++n) {
            const int x0 = rng_.range(1, town_size - 8), y0 = rng_.range(1, town_size - 8);
            const bool across = rng_.chance(50);
            const int w = across ? 6 : 3, h = across ? 3 : 6;
            bool free = true;
            for (int y = y0 - 1; y <= y0 + h && free; ++y)
                for (int x = x0 - 1; x <= x0 + w && free; ++x)
                    free = town_.surface(x, y) == Surface::street && !town_.shadow(x, y) &&
                           town_.clutter(x, y) == Clutter::none;
            if (!free) continue;
            for (int y = y0; y < y0 + h; ++y)
                for (int x = x0; x < x0 + w; ++x) town_.clutter(x, y) = Clutter::bright;
            ++cars;
        }
    }

    // Single bright pixels and pairs on the lawns.
    void scatter_glints()
    {
        for (int n = 0; n < 20; ++n) {
            const int x = rng_.range(2, town_size - 4), y = rng_.range(2, town_size - 3);
            const int w = rng_.range(1, 2);
            bool free = true;
            for (int j = y - 2; j <= y + 2 && free; ++j)
                for (int i = x - 2; i <= x + w + 1 && free; ++i) free = open_ground(i, j);
            if (!free) continue;
            for (int i = x; i < x + w; ++i) town_.clutter(i, y) = Clutter::bright;
        }
    }

    // Dark 2 x 2 spots well inside some roofs: holes in the building mask.
    void spot_roofs()
    {
        for (const Building& b : town_.buildings) {
            if (!rng_.chance(25)) continue;
            const std::vector<Pixel> roof = b.footprint.pixels();
            const Pixel p = roof[rng_.range(0, static_cast<int>(roof.size()) - 1)];
            bool inner = true;
            for (int y = p.y - 3; y <= p.y + 4 && inner; ++y)
                for (int x = p.x - 3; x <= p.x + 4 && inner; ++x) inner = b.footprint.contains(x, y);
            if (!inner) continue;
            for (int y = p.y; y <= p.y + 1; ++y)
                for (int x = p.x; x <= p.x + 1; ++x) town_.clutter(x, y) = Clutter::dark_spot;
        }
    }

    // One-pixel fences running diagonally off the lower-left corner of some
    // rectangular buildings (the side away from their shadow): each touches
    // its roof only at the corner.
    void put_up_fences()
    {
        int fences = 0;
        for (const Building& b : town_.buildings) {
            if (b.shape != Shape::rectangle || fences == 8 || !rng_.chance(30)) continue;
            const int cx = b.footprint.x_min(), cy = b.footprint.y_max(), length = rng_.range(8, 14);
            bool free = true;
            for (int k = 1; k <= length && free; ++k)
                for (int y = cy + k - 1; y <= cy + k + 1 && free; ++y)
                    for (int x = cx - k - 1; x <= cx - k + 1 && free; ++x) {
                        if (x == cx && y == cy) continue;  // the corner it starts from
                        free = town_.building_id.contains(x, y) && town_.building_id(x, y) == 0 &&
                               town_.surface(x, y) != Surface::street && town_.clutter(x, y) == Clutter::none;
                    }
            if (!free) continue;
            for (int k = 1; k <= length; ++k) town_.clutter(cx - k, cy + k) = Clutter::bright;
            ++fences;
        }
    }

    Random rng_;
    Town town_;
    Grid<std::uint8_t> no_footprint_;  // streets, sidewalks and front yards
    Grid<std::uint8_t> taken_;         // buildings and shadows placed so far, grown by the gap
};

}  // namespace

const char* shape_name(Shape shape)
{
    switch (shape) {
    case Shape::rectangle: return "rectangle";
    case Shape::l_shape: return "L";
    case Shape::u_shape: return "U";
    case Shape::courtyard: return "courtyard";
    case Shape::t_shape: return "T";
    case Shape::corner_pair: return "corner_pair";
    }
    return "?";
}

Town make_town(std::uint64_t seed)
{
    return Builder(seed).build();
}

}  // namespace samples
