// The class colours of a class map: every packed colour that is not a grey
// (black, white and greys are no class).
#pragma once

#include "grid.h"

#include <cstdint>
#include <vector>

// At most this many class colours are counted; one more fails the census.
constexpr int max_census_colours = 99;

// Collects the distinct class colours of `Matrice` into `colori`. Returns
// false ("too much color") when there are more than max_census_colours.
// Only the count and, for a one-colour map, that colour are used; several
// colours are kept in the order a row-by-row scan meets them.
bool colour_census(const Grid<std::int32_t>& Matrice, std::vector<std::int32_t>& colori);
