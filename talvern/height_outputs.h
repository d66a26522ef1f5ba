// Where Talvern's heights go. In the suite's layout "<nome_output_path>.raw"
// (32-bit floats, top row first) and its ENVI header ".hdr"; a placed run
// adds "map info" and "coordinate system string" to the header and writes
// beside them the standard world file ".wld" and, when the CRS is known, the
// ".prj". With --of GTiff "<nome_output_path>.tif" instead: a Float32
// GeoTIFF with the geotransform, the CRS and nodata 0. A height is only ever
// written where a shadow was measured and is then above 0, so 0 marks
// exactly the pixels without a height (off the buildings, and buildings
// whose shadow could not be measured).
#pragma once

#include "talvern.h"

#include <optional>
#include <string>
#include <vector>

// The height raster's files, sidecars aside.
std::vector<std::string> height_files(const TalvernRun& run);

// The sidecars of a placed run, or of one whose CRS is known (none for a
// GeoTIFF, which holds both).
std::vector<std::string> height_sidecars(const TalvernRun& run);

// Clears the heights off the building colour and writes every output into
// its temporary; a file that cannot be written is reported with its final
// name after "\nError in writing <nome_output_path> image\n" and ends the
// run (status 1).
std::optional<int> write_heights(TalvernRun& run);
