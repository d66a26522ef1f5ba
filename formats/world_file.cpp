#include "world_file.h"

#include "file.h"
#include "number_scanner.h"
#include "paths.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::optional<std::string> world_file_name(const std::string& input_name, const std::string& extension)
{
    return replace_last_chars(input_name, 3, extension);
}

std::optional<std::string> world_file_path(bool check_path, const std::string& folder, const std::string& input_name,
                                           const std::string& extension)
{
    const std::optional<std::string> name = world_file_name(input_name, extension);
    if (!name) return std::nullopt;
    return in_folder(check_path, folder, *name);
}

namespace {

// "%lf%lf%lf%lf%lf%lf", the C library's words and hexadecimal numbers
// included.
WorldFile read_values(std::FILE* file)
{
    WorldFile world;
    FileSource in(file);
    world.complete = true;
    for (double& value : world.values) {
        const std::optional<double> read = scan_double(in, NumberForm::c_library_float());
        if (!read) {
            world.complete = false;
            world.values.fill(0.0);
            break;
        }
        value = *read;
    }
    return world;
}

}  // namespace

std::string shortest_decimal(double value)
{
    char text[400];
    for (int decimals = 0; decimals <= 17; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (std::strtod(text, nullptr) == value) return text;
    }
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::error_code write_world_file(const std::string& path, const WorldFile& world)
{
    WrittenFile file(path);
    for (double value : world.values) file.write(shortest_decimal(value) + "\n");
    return file.finish();
}

WorldFile read_world_file(const std::optional<std::string>& path)
{
    File file;
    if (path) file = open_file(*path, "rb");
    if (!file) return WorldFile();
    WorldFile world = read_values(file.get());
    world.found = true;
    return world;
}

bool world_file_usable(const WorldFile& world)
{
    if (!world.complete) return true;
    for (double value : world.values)
        if (!std::isfinite(value)) return false;
    return world.cell_x() != 0 && world.cell_y() != 0;
}

MapExtent writer_extent(const WorldFile& world, int width, int height)
{
    MapExtent e;
    if (world.complete) {
        e.x_min = world.easting();
        e.x_max = std::fabs(world.cell_x()) * width + world.easting();
        e.y_max = world.northing();
        e.y_min = world.northing() - std::fabs(world.cell_y()) * height;
    } else {
        e.x_max = width;
        e.y_max = height;
    }
    return e;
}

MapExtent raster_extent(const WorldFile& rww, int width, int height)
{
    MapExtent e;
    if (!rww.complete) {
        e.x_max = width;
        e.y_max = height;
    } else {
        const double A = rww.cell_x(), E = rww.cell_y(), C = rww.easting(), F = rww.northing();
        if (A >= 0) {
            e.x_min = C;
            e.x_max = C + width * A;
        } else {
            e.x_min = C + width * A;
            e.x_max = C;
        }
        if (E >= 0) {
            e.y_min = F;
            e.y_max = F + height * E;
        } else {
            e.y_min = F + height * E;
            e.y_max = F;
        }
    }
    return e;
}
