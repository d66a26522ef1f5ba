// Writes the demo's sample data into a folder: the town (aerial image, class
// maps, truth file, temperature background) and the countryside (roads
// image, terrain model, crossroads file), each raster with its dimension
// file or world file.
#pragma once


#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace samples {

// World-file origins (outer top-left corner of the picture) and pixel sizes.
constexpr double town_easting = 500000.0, town_northing = 5000512.0, town_pixel_m = 0.5;
constexpr double country_easting = 501000.0, country_northing = 5002048.0, country_pixel_m = 2.0;

constexpr std::uint64_t town_seed = 20240611;

// A class map's palette: entry 0 black, entry 1 the class colour, the other
// entries grey (blue, green, red, reserved per entry, as in a BMP).
std::array<std::uint8_t, 1024> class_palette(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// Writes every file; on success `written` holds their names in the order
// written. On failure prints what could not be written and returns false.
bool write_samples(const std::string& folder, std::vector<std::string>& written);

}  // namespace samples
