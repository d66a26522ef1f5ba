#include "envi_map_info.h"

#include "file.h"
#include "geotransform.h"

GeoProblem envi_map_info(const WorldFile& world, const EnviProjection& projection, std::string& line)
{
    if (!world.complete)
        return geo_problem(GeoProblemKind::bad_georeferencing, "the raster has no georeferencing to write");
    if (GeoProblem problem = check_world_values(world, "the ENVI map info")) return problem;
    if (world.values[1] != 0 || world.values[2] != 0)
        return geo_problem(GeoProblemKind::rotated, "the ENVI map info: the raster is rotated");
    std::string text = "map info = {" + projection.name + ", 1, 1";
    for (double value : {world.easting(), world.northing(), world.cell_x(), -world.cell_y()})
        text += ", " + shortest_decimal(value);
    for (const std::string& field : projection.trailing) text += ", " + field;
    line = text + "}";
    return {};
}

GeoProblem append_header_lines(const std::string& path, const std::vector<std::string>& lines)
{
    File file = open_file(path, "ab");
    if (!file) return geo_problem(GeoProblemKind::write_failed, "cannot open '" + path + "' to add to it");
    for (const std::string& line : lines) {
        std::fputs(line.c_str(), file.get());
        std::fputc('\n', file.get());
    }
    if (!close_written_file(file)) return geo_problem(GeoProblemKind::write_failed, "cannot write '" + path + "'");
    return {};
}
