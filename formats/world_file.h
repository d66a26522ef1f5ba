// World files: six numbers beside a raster tying its pixel grid to map
// coordinates (A cell size x, D and B rotation terms, E cell size y, C and F
// the easting and northing of the image's outer top-left corner).
// All values are held as doubles: a 32-bit float loses up to half a metre on
// UTM coordinates.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <system_error>

struct WorldFile {
    std::array<double, 6> values{};  // A, D, B, E, C, F in file order (the programs' `tfw`)
    bool found = false;              // the file was there and opened
    bool complete = false;           // all six numbers were read (`check_tfw`)

    double cell_x() const { return values[0]; }
    double cell_y() const { return values[3]; }
    double easting() const { return values[4]; }
    double northing() const { return values[5]; }
};

// The input name (as typed, without folder) with its last three characters
// replaced by `extension` ("bpw" or "rww"); none when the name is shorter
// than three characters.
std::optional<std::string> world_file_name(const std::string& input_name, const std::string& extension);

// That name in the working folder (in_folder of paths.h); none likewise.
std::optional<std::string> world_file_path(bool check_path, const std::string& folder, const std::string& input_name,
                                           const std::string& extension);

// Writes the six values, one per line, each in the shortest decimal form that
// reads back as the same double. Returns the system's reason when the file
// could not be written.
std::error_code write_world_file(const std::string& path, const WorldFile& world);

// The shortest fixed-point text ("%.*f", at most 17 decimals) that reads
// back as the same double; "%.17g" for values that need more.
std::string shortest_decimal(double value);

// Reads the first six numbers of the world file at `path`. A missing `path`
// counts as a file that does not open.
WorldFile read_world_file(const std::optional<std::string>& path);

// Whether a complete world file can place a raster: all six values finite
// and both cell sizes other than 0. An incomplete one places nothing and is
// no problem of its own.
bool world_file_usable(const WorldFile& world);

// A rectangle in map units.
struct MapExtent {
    double x_min = 0, y_min = 0, x_max = 0, y_max = 0;
};

// The shapefile writers' extent of a width x height image: from the world
// file with absolute cell sizes, or 0..width by 0..height in pixel units.
MapExtent writer_extent(const WorldFile& world, int width, int height);

// Pixel units (origin at the lower-left corner, y up) to map units, evaluated
// as (x_max - x_min) * px / width + x_min.
inline double map_x(const MapExtent& e, double px, int width) { return (e.x_max - e.x_min) * px / width + e.x_min; }
inline double map_y(const MapExtent& e, double py, int height) { return (e.y_max - e.y_min) * py / height + e.y_min; }

// The vector writers' conversion of one image's vertices to map units.
struct PixelToMap {
    MapExtent extent;
    int width;
    int height;
    double x(double px) const { return map_x(extent, px, width); }
    double y(double py) const { return map_y(extent, py, height); }
};

// Zonrik's raster extent: 0..width by 0..height without a complete world
// file, else the extent from the signed cell sizes.
MapExtent raster_extent(const WorldFile& rww, int width, int height);
