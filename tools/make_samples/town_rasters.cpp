#include "town_rasters.h"

#include "noise.h"

#include <algorithm>

namespace samples {

namespace {

// Texture seeds, one per material.
enum : std::uint32_t { lawn_seed = 11, tree_seed = 12, walk_seed = 13, street_seed = 14, roof_seed = 15, heat_seed = 16 };

int ground_grey(Surface surface, int x, int y)
{
    switch (surface) {
    case Surface::grass: return 112 + smooth_noise(x, y, 40, lawn_seed, 12) + grain(x, y, lawn_seed, 6);
    case Surface::tree: return 66 + smooth_noise(x, y, 6, tree_seed, 8) + grain(x, y, tree_seed, 5);
    case Surface::sidewalk: return 138 + grain(x, y, walk_seed, 3);
    case Surface::street: return 96 + smooth_noise(x, y, 64, street_seed, 3) + grain(x, y, street_seed, 4);
    }
    return 0;
}

// A gabled roof is split along its longer side: the half facing the top
// (or the left) of the picture is lit, the other half darker.
int roof_grey(const Building& b, int x, int y)
{
    int grey = b.roof_grey;
    const Footprint& f = b.footprint;
    if (b.pitched) {
        const bool wide = f.mask.width() >= f.mask.height();
        const bool lit = wide ? 2 * (y - f.y_min()) < f.mask.height() : 2 * (x - f.x_min()) < f.mask.width();
        grey += lit ? 14 : -14;
        grey += grain(x, y, roof_seed, 4);
    } else {
        grey += smooth_noise(x, y, 16, roof_seed, 4) + grain(x, y, roof_seed, 5);
    }
    return std::clamp(grey, roof_threshold + 8, 250);
}

Grid<std::uint8_t> class_map(const Town& town, bool buildings)
{
    Grid<std::uint8_t> map(town_size, town_size, 0);
    for (int y = 0; y < town_size; ++y)
        for (int x = 0; x < town_size; ++x)
            map(x, y) = buildings ? town.building_id(x, y) != 0 : town.shadow(x, y) != 0;
    return map;
}

}  // namespace

Grid<std::uint8_t> aerial_image(const Town& town)
{
    Grid<std::uint8_t> image(town_size, town_size);
    for (int y = 0; y < town_size; ++y)
        for (int x = 0; x < town_size; ++x) {
            int grey;
            if (const int id = town.building_id(x, y)) {
                grey = roof_grey(town.buildings[id - 1], x, y);
            } else {
                grey = ground_grey(town.surface(x, y), x, y);
                if (town.shadow(x, y)) grey = grey * 45 / 100;
            }
            switch (town.clutter(x, y)) {
            case Clutter::none: break;
            case Clutter::bright: grey = std::clamp(220 + grain(x, y, roof_seed + 1, 25), 190, 250); break;
            case Clutter::dark_spot: grey = 90 + grain(x, y, roof_seed + 2, 8); break;
            }
            image(x, y) = static_cast<std::uint8_t>(std::clamp(grey, 0, 255));
        }
    return image;
}

Grid<std::uint8_t> building_class(const Town& town) { return class_map(town, true); }
Grid<std::uint8_t> shadow_class(const Town& town) { return class_map(town, false); }

Grid<float> surface_temperature(const Town& town)
{
    Grid<float> kelvin(town_size, town_size);
    for (int y = 0; y < town_size; ++y)
        for (int x = 0; x < town_size; ++x) {
            int centikelvin;  // hundredths of a kelvin
            if (const int id = town.building_id(x, y)) {
                centikelvin = 30400 + (230 - town.buildings[id - 1].roof_grey) * 12;
            } else {
                static const int ground[] = {29750, 29550, 30500, 30750};  // grass, tree, sidewalk, street
                centikelvin = ground[static_cast<int>(town.surface(x, y))] + smooth_noise(x, y, 96, heat_seed, 150);
                if (town.shadow(x, y)) centikelvin -= 450;
            }
            centikelvin += grain(x, y, heat_seed, 30);
            kelvin(x, y) = static_cast<float>(centikelvin) / 100.0f;
        }
    return kelvin;
}

}  // namespace samples
