#include "envi_map_info.h"

#include "file.h"

#include <cerrno>

GeoProblem envi_map_info(const WorldFile& world, const EnviProjection& projection, std::string& line)
{
    if (!world.complete || !world_file_usable(world)) return {GeoProblem::Kind::unusable_georeferencing, ""};
    if (world.values[1] != 0 || world.values[2] != 0) return {GeoProblem::Kind::rotated, ""};
    std::string text = "map info = {" + projection.name + ", 1, 1";
    for (double value : {world.easting(), world.northing(), world.cell_x(), -world.cell_y()})
        text += ", " + shortest_decimal(value);
    for (const std::string& field : projection.trailing) text += ", " + field;
    line = text + "}";
    return {};
}

GeoProblem append_header_lines(const std::string& path, const std::vector<std::string>& lines)
{
    errno = 0;
    File file = open_file(path, "ab");
    if (!file) return {GeoProblem::Kind::write_failed, path, last_system_error().message()};
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    const bool closed = close_written_file(file);
    if (!(written && closed)) return {GeoProblem::Kind::write_failed, path, last_system_error().message()};
    return {};
}
