// Writes the demo's sample data into a folder: the town (aerial image, class
// maps, truth file, temperature background) and the countryside (roads
// image, terrain model, crossroads file), each raster with its dimension
// file or world file.
#pragma once


#include <cstdint>
#include <string>
#include <vector>

namespace samples {

// World-file origins (outer top-left corner of the picture) and pixel sizes.
constexpr double town_easting = 500000.0, town_northing = 5000512.0, town_pixel_m = 0.5;
constexpr double country_easting = 501000.0, country_northing = 5002048.0, country_pixel_m = 2.0;

constexpr std::uint64_t town_seed = 20240611;

// Writes every file; on success `written` holds their names in the order
// written. On failure prints what could not be written and returns false.
bool write_samples(const std::string& folder, std::vector<std::string>& written);

}  // namespace samples
