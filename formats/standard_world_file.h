// Standard world files (".wld", and the three-letter ones such as ".tfw",
// ".jgw", ".pgw"): the six values A, D, B, E, C, F of world_file.h, except
// that C, F are the map point of the CENTRE of the top-left pixel, where the
// suite's own ".bpw" and ".rww" hold the image's outer top-left corner.
// GDAL and QGIS read and write the standard form.
#pragma once

#include "geo_problem.h"
#include "world_file.h"

#include <optional>
#include <string>

// Centre of the top-left pixel to its outer corner, half a pixel back along
// both pixel axes: C - A/2 - B/2, F - D/2 - E/2 (in that order, as GDAL
// evaluates it, so both give the same bits).
WorldFile suite_from_standard(const WorldFile& standard);

// The inverse: C + A/2 + B/2, F + D/2 + E/2.
WorldFile standard_from_suite(const WorldFile& suite);

// Reads a standard world file into the suite's convention. A file that does
// not open, holds fewer than six numbers, holds values that are not all
// finite or a cell size of 0 is a problem.
GeoProblem read_standard_world_file(const std::string& path, WorldFile& suite);

// Writes the suite's world file as a standard one, one value per line in
// the shortest text that reads back as the same double.
GeoProblem write_standard_world_file(const std::string& path, const WorldFile& suite);

// The standard world file beside a raster, tried in this order: the
// extension's first and last letters followed by "w" (plan.tif: plan.tfw;
// plan.jpg: plan.jgw), the extension followed by "w" (plan.tifw), then
// ".wld"; each as spelled, in lower and in upper case. The three-letter
// names the suite gives its own outer-corner files are not standard: for a
// ".bmp" (".bpw") and a ".raw" (".rww") only the other names count.
std::optional<std::string> find_standard_world_file(const std::string& raster_path);
