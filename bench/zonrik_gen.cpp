// Writes the inputs of the zonal-statistics benchmark: a float32 background
// (RAW, ".dim" and world file) and a polygon shapefile (".shp" main file
// only, all Zonrik reads) of squares, L shapes, squares with a square hole,
// diamonds with slanted edges and a few large polygons, in map units.
// Usage: zonrik_gen <background base name> <shapefile> <size> <polygons>
#include "byte_order.h"
#include "grid.h"
#include "raw.h"
#include "world_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Ring = std::vector<std::pair<double, double>>;
using Polygon = std::vector<Ring>;

constexpr double cell = 0.5;
constexpr double easting = 500000.0;

Ring square(double x, double y, double side)
{
    return {{x, y}, {x, y + side}, {x + side, y + side}, {x + side, y}, {x, y}};
}

Ring l_shape(double x, double y, double side)
{
    const double t = side / 3;
    return {{x, y}, {x, y + side}, {x + t, y + side}, {x + t, y + t}, {x + side, y + t}, {x + side, y}, {x, y}};
}

Ring diamond(double cx, double cy, double r)
{
    return {{cx, cy - r}, {cx - r, cy}, {cx, cy + r}, {cx + r, cy}, {cx, cy - r}};
}

Polygon random_polygon(std::mt19937& rng, int size, int index)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    if (index < 5) {  // a few large ones, up to a third of the image a side
        const double side = size * (0.15 + 0.18 * unit(rng));
        const double x = (size - side - 2) * unit(rng) + 1, y = (size - side - 2) * unit(rng) + 1;
        return {square(x, y, side), square(x + side / 4, y + side / 4, side / 3)};
    }
    const double side = 4 + 60 * unit(rng) * unit(rng);
    const double x = (size - side - 2) * unit(rng) + 1, y = (size - side - 2) * unit(rng) + 1;
    switch (index % 4) {
    case 0: return {square(x, y, side)};
    case 1: return {l_shape(x, y, side)};
    case 2: return {square(x, y, side), square(x + side / 3, y + side / 3, side / 3)};
    default: return {diamond(x + side / 2, y + side / 2, side / 2)};
    }
}

void append_le_double(std::vector<unsigned char>& out, double v) { byte_order::append_le_double(out, v); }

// The main file of polygon records whose coordinates are pixel units of a
// size x size background, converted to map units with the world file
// (cell 0.5, north-up, top-left corner at easting, northing).
std::vector<unsigned char> shapefile(const std::vector<Polygon>& polygons, int size, double northing)
{
    auto map_x = [&](double px) { return easting + px * cell; };
    auto map_y = [&](double py) { return northing - size * cell + py * cell; };
    std::vector<unsigned char> body;
    int number = 0;
    for (const Polygon& polygon : polygons) {
        double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
        int points = 0;
        for (const Ring& ring : polygon)
            for (const auto& [x, y] : ring) {
                x0 = std::min(x0, map_x(x));
                x1 = std::max(x1, map_x(x));
                y0 = std::min(y0, map_y(y));
                y1 = std::max(y1, map_y(y));
                ++points;
            }
        const int parts = static_cast<int>(polygon.size());
        byte_order::append_be32(body, static_cast<std::uint32_t>(++number));
        byte_order::append_be32(body, static_cast<std::uint32_t>(22 + 2 * parts + 8 * points));
        byte_order::append_le32(body, 5);
        for (double v : {x0, y0, x1, y1}) append_le_double(body, v);
        byte_order::append_le32(body, static_cast<std::uint32_t>(parts));
        byte_order::append_le32(body, static_cast<std::uint32_t>(points));
        int start = 0;
        for (const Ring& ring : polygon) {
            byte_order::append_le32(body, static_cast<std::uint32_t>(start));
            start += static_cast<int>(ring.size());
        }
        for (const Ring& ring : polygon)
            for (const auto& [x, y] : ring) {
                append_le_double(body, map_x(x));
                append_le_double(body, map_y(y));
            }
    }
    std::vector<unsigned char> shp;
    byte_order::append_be32(shp, 9994);
    for (int i = 0; i < 5; ++i) byte_order::append_be32(shp, 0);
    byte_order::append_be32(shp, static_cast<std::uint32_t>(50 + body.size() / 2));
    byte_order::append_le32(shp, 1000);
    byte_order::append_le32(shp, 5);
    for (double v : {easting, northing - size * cell, easting + size * cell, northing, 0.0, 0.0, 0.0, 0.0})
        append_le_double(shp, v);
    shp.insert(shp.end(), body.begin(), body.end());
    return shp;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: zonrik_gen <background base name> <shapefile> <size> <polygons>\n");
        return 1;
    }
    const std::string base = argv[1];
    const int size = std::atoi(argv[3]);
    const int count = std::atoi(argv[4]);
    const double northing = 5000000.0 + size * cell;

    // Surface temperatures in kelvin: a smooth field with some texture.
    Grid<float> background(size, size);
    std::mt19937 rng(4096);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            background(x, y) = 290.0f + 8.0f * std::sin(x * 0.01f) * std::cos(y * 0.013f) + noise(rng);
    WorldFile world;
    world.values = {cell, 0, 0, -cell, easting, northing};
    if (write_raw_floats(base + ".raw", background) || write_dim_file(base + ".dim", size, size) ||
        write_world_file(base + ".rww", world)) {
        std::fprintf(stderr, "cannot write the background\n");
        return 1;
    }

    std::vector<Polygon> polygons;
    for (int i = 0; i < count; ++i) polygons.push_back(random_polygon(rng, size, i));
    const std::vector<unsigned char> shp = shapefile(polygons, size, northing);
    std::FILE* file = std::fopen(argv[2], "wb");
    if (!file || std::fwrite(shp.data(), 1, shp.size(), file) != shp.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
