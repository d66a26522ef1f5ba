// The sample countryside: 1024 x 1024 pixels of 2 m, fields crossed by a
// network of thin dark roads (1 to 3 pixels wide, straight and slanted,
// crossing one another), over gentle terrain. At a few crossings one road
// passes over the other on a raised deck, which stands out of the terrain
// model.
#pragma once

#include "band.h"
#include "grid.h"

#include <cstdint>
#include <vector>

namespace samples {

constexpr int country_size = 1024;

struct Crossing {
    int first = 0, second = 0;     // the two roads, first < second
    std::int64_t x = 0, y = 0;     // where their centre lines cross, fixed point, y down the rows
    int raised_road = -1;          // the road that passes over on a raised deck, or -1
    int rise_cm = 0;               // the deck's height above the terrain at the crossing
};

struct Countryside {
    std::vector<Band> roads;
    std::vector<Crossing> crossings;  // every pair of roads that cross, in road order
};

Countryside make_countryside();

// The grey image, row 0 at the top: dark roads on brighter textured fields
// and a few dark woods.
Grid<std::uint8_t> roads_image(const Countryside& land);

// The terrain model in metres, row 0 at the top: gentle hills, with the
// raised decks of the overpasses.
Grid<float> terrain_model(const Countryside& land);

}  // namespace samples
