#include "geotransform.h"

#include <cmath>

GeoProblem check_world_values(const WorldFile& world, const std::string& source)
{
    for (double value : world.values)
        if (!std::isfinite(value))
            return geo_problem(GeoProblemKind::bad_georeferencing, source + ": georeferencing values are not all finite");
    if (world.cell_x() == 0 || world.cell_y() == 0)
        return geo_problem(GeoProblemKind::bad_georeferencing, source + ": a cell size of 0");
    return {};
}

GeoProblem world_file_from_geotransform(const Geotransform& gt, const std::string& source, WorldFile& world)
{
    WorldFile result;
    result.values = {gt[1], gt[4], gt[2], gt[5], gt[0], gt[3]};
    if (GeoProblem problem = check_world_values(result, source)) return problem;
    if (gt[2] != 0 || gt[4] != 0)
        return geo_problem(GeoProblemKind::rotated, source + ": the raster is rotated (only north-up rasters are taken)");
    // Rotation terms written as -0 by some drivers are plain 0 here.
    result.values[1] = 0.0;
    result.values[2] = 0.0;
    result.complete = true;
    world = result;
    return {};
}

Geotransform geotransform_from_world_file(const WorldFile& world)
{
    const auto& v = world.values;
    return {v[4], v[0], v[2], v[5], v[1], v[3]};
}
