// GDAL's geotransform and the suite's world file. Both put the image's
// outer top-left corner at the origin: the map point of pixel column c and
// row r (0, 0 the top-left corner of the top-left pixel) is
//     X = gt[0] + c*gt[1] + r*gt[2],   Y = gt[3] + c*gt[4] + r*gt[5],
// so the world file's A, D, B, E, C, F are gt[1], gt[4], gt[2], gt[5],
// gt[0], gt[3], with no shift.
#pragma once

#include "geo_problem.h"
#include "world_file.h"

#include <array>
#include <string>

using Geotransform = std::array<double, 6>;

// The complete world file of a geotransform. Values that are not all finite
// or cell sizes of 0 (world_file_usable), and rotated geotransforms (gt[2]
// or gt[4] not 0), are problems about `path`, the raster they belong to.
GeoProblem world_file_from_geotransform(const Geotransform& gt, const std::string& path, WorldFile& world);

// The geotransform of a world file (rotation terms kept).
Geotransform geotransform_from_world_file(const WorldFile& world);
