// The sample town: a 1024 x 1024 scene seen from above, 0.5 m pixels, with
// streets, gardens, trees and buildings of known heights whose shadows are
// cast under the sun of sun.h. Buildings are placed so that no shadow reaches
// another building or another building's shadow.
#pragma once

#include "band.h"
#include "footprint.h"
#include "grid.h"

#include <cstdint>
#include <vector>

namespace samples {

constexpr int town_size = 1024;

enum class Shape { rectangle, l_shape, u_shape, courtyard, t_shape, corner_pair };

// The name written in the truth file.
const char* shape_name(Shape shape);

struct Building {
    int id = 0;  // 1, 2, ... in placement order
    Shape shape = Shape::rectangle;
    int height_cm = 0;
    Footprint footprint;
    std::vector<Pixel> shadow;
    int roof_grey = 200;   // brightness of the roof in the aerial image
    bool pitched = false;  // a gable roof: two halves of different brightness
};

enum class Surface : std::uint8_t { grass, tree, sidewalk, street };

// Small things the building mask of the aerial image picks up besides the
// roofs, for the mask cleaner to remove: bright cars, glints and one-pixel
// diagonal fences off building corners, and dark spots (skylights) on roofs.
enum class Clutter : std::uint8_t { none, bright, dark_spot };

struct Town {
    std::vector<Band> streets;
    std::vector<Building> buildings;
    Grid<int> building_id;      // 0 = no building, else the id of the building standing there
    Grid<std::uint8_t> shadow;  // 1 where a building's shadow falls
    Grid<Surface> surface;      // ground cover
    Grid<Clutter> clutter;
};

// The town of a seed (the same town for the same seed, everywhere).
Town make_town(std::uint64_t seed);

}  // namespace samples
