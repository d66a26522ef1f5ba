// The rasters of the sample town: the grey aerial image, the building and
// shadow class maps and a surface-temperature background.
#pragma once

#include "grid.h"
#include "town.h"

#include <cstdint>

namespace samples {

// Slicing the aerial image at this grey level (pixels above it white) gives
// the building mask: every roof pixel is brighter, every other pixel darker,
// except the clutter (bright cars, glints, fences; dark spots on roofs).
constexpr int roof_threshold = 150;

// The aerial image, row 0 at the top: textured lawns and trees, streets with
// sidewalks, shadows, flat and gabled roofs, the clutter.
Grid<std::uint8_t> aerial_image(const Town& town);

// A class map, row 0 at the top: 1 on the class, 0 elsewhere.
Grid<std::uint8_t> building_class(const Town& town);
Grid<std::uint8_t> shadow_class(const Town& town);

// Surface temperature in kelvin, row 0 at the top: warm roofs (the darker
// the warmer), hot streets, cool lawns, trees and shadows.
Grid<float> surface_temperature(const Town& town);

}  // namespace samples
