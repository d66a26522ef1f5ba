// The sample town as an analyst's own data arrives: GeoTIFFs with a CRS
// (WGS 84 / UTM zone 32N), read by the programs with no conversion step.
#pragma once

#include <string>
#include <vector>

namespace samples {

// Whether this build writes GeoTIFFs (it needs GDAL).
bool can_write_geotiffs();

// Writes aerial.tif (grey), buildings.tif and shadows.tif (class maps with
// their colour tables) and temperature.tif (Float32, kelvin) into `folder`,
// placed as the BMP/RAW samples are; `written` gets their names. On failure
// prints what could not be written and returns false.
bool write_geotiff_samples(const std::string& folder, std::vector<std::string>& written);

}  // namespace samples
