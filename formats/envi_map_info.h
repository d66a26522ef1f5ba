// Georeferencing lines of an ENVI header (".hdr"): "map info" places the
// raster, "coordinate system string" (crs.h) names its CRS. GDAL reads both
// back: the map point given for pixel 1, 1 is the outer top-left corner of
// the image (ENVI counts pixels from 1, and 1.0 is a pixel's upper-left
// corner), the pixel sizes are A and -E, and the coordinate system string,
// when present, decides the CRS whatever projection name "map info" gives.
#pragma once

#include "geo_problem.h"
#include "world_file.h"

#include <string>
#include <vector>

// The projection fields of a "map info" line: the name before the
// reference point ("UTM", "Geographic Lat/Lon", "Arbitrary" for a map
// without a projection ENVI names) and the fields after the pixel sizes
// (for UTM: zone, "North" or "South", and the datum when ENVI names it).
struct EnviProjection {
    std::string name = "Arbitrary";
    std::vector<std::string> trailing;
};

// "map info = {<name>, 1, 1, C, F, A, -E[, trailing...]}", the numbers in
// the shortest text that reads back as the same double. A world file that is
// not complete or not usable (world_file_usable), or whose rotation terms are
// not 0, is a problem (about no file).
GeoProblem envi_map_info(const WorldFile& world, const EnviProjection& projection, std::string& line);

// Appends the lines (each with a line end) to the ENVI header at `path`.
GeoProblem append_header_lines(const std::string& path, const std::vector<std::string>& lines);
