#include "geotransform.h"

GeoProblem world_file_from_geotransform(const Geotransform& gt, const std::string& path, WorldFile& world)
{
    WorldFile result;
    result.values = {gt[1], gt[4], gt[2], gt[5], gt[0], gt[3]};
    result.complete = true;
    if (!world_file_usable(result)) return {GeoProblem::Kind::unusable_georeferencing, path};
    if (gt[2] != 0 || gt[4] != 0) return {GeoProblem::Kind::rotated, path};
    // Rotation terms written as -0 by some drivers are plain 0 here.
    result.values[1] = 0.0;
    result.values[2] = 0.0;
    result.found = true;
    world = result;
    return {};
}

Geotransform geotransform_from_world_file(const WorldFile& world)
{
    const auto& v = world.values;
    return {v[4], v[0], v[2], v[5], v[1], v[3]};
}
