#include "world_file.h"

#include "file.h"
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

WorldFile read_values(std::FILE* file)
{
    WorldFile world;
    double* v = world.values.data();
    world.complete = std::fscanf(file, "%lf%lf%lf%lf%lf%lf", v, v + 1, v + 2, v + 3, v + 4, v + 5) == 6;
    if (!world.complete) world.values.fill(0.0);
    return world;
}

// Opens and reads the world file, printing `present` or `absent` first.
WorldFile read_announced(const std::optional<std::string>& path, const char* present, const char* absent)
{
    File file;
    if (path) file = open_file(*path, "rb");
    if (!file) {
        std::fputs(absent, stdout);
        return WorldFile();
    }
    std::fputs(present, stdout);
    return read_values(file.get());
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

bool write_world_file(const std::string& path, const WorldFile& world)
{
    File file = open_file(path, "wb");
    if (!file) return false;
    for (double value : world.values) std::fprintf(file.get(), "%s\n", shortest_decimal(value).c_str());
    return close_written_file(file);
}

WorldFile read_world_file(const std::string& path)
{
    File file = open_file(path, "rb");
    if (!file) return WorldFile();
    return read_values(file.get());
}

WorldFile read_world_file_bpw(const std::optional<std::string>& path)
{
    return read_announced(path, "\n\nBPW file present\n", "\n\nBPW file not present\n");
}

WorldFile read_world_file_rww(const std::optional<std::string>& path)
{
    return read_announced(path, "\n\nRWW file present\n", "\n\nRWW file not present\n");
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
    static const char* const labels[6] = {
        "Cell size in the 'X' direction",       "Insertion point in the 'X' direction",
        "Insertion point in the 'Y' direction", "Cell size in the 'Y' direction",
        "Easting value of insertion point 'X'", "Northing value of insertion point 'Y'",
    };
    MapExtent e;
    if (!rww.complete) {
        std::printf("\n\nRAW World files (RWW) not present");
        e.x_max = width;
        e.y_max = height;
    } else {
        std::printf("\n\nBMP World files (rww) present");
        for (int i = 0; i < 6; ++i) std::printf("\n\n\t\t\t%f\t%s", rww.values[i], labels[i]);
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
    std::printf("\n\nXmin= %f\nYmin= %f", e.x_min, e.y_min);
    std::printf("\n\nXmax= %f\nYmax= %f", e.x_max, e.y_max);
    return e;
}
