// The plan of a tiled Polvane run, written by the tiled work flow: the
// mosaic's size and world file, the output base name, and every tile with
// its place and its colour census.
//
// Plan file, one item a line:
//     mosaic <width> <height>
//     world <A> <D> <B> <E> <C> <F>          (only when the mosaic is placed)
//     output <base name>
//     tile <x0> <y0> <width> <height> <folder>   (x0, y0: its top-left pixel)
// Each tile's folder holds "census.txt" (its class colours in the order its
// census found them, each as "<packed colour> <x> <y>": the first pixel of
// the colour in column order, in whole-mosaic pixels, y from the top) and
// Polvane's shapefiles "t_<n>" of the tile, traced in pixel units.
#pragma once

#include "world_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CensusEntry {
    std::int32_t colour = 0;
    std::int64_t x = 0, y = 0;  // first pixel in column order
};

struct TilePlan {
    std::string folder;
    int x0 = 0, y0 = 0, width = 0, height = 0;
    std::vector<CensusEntry> census;

    // The shapefile base name of the tile's colour of census index n.
    std::string shapes(std::size_t n) const { return folder + "/t_" + std::to_string(n); }
    // Lower-left corner of the tile in whole-mosaic pixel units (y up).
    int left() const { return x0; }
    int bottom(int mosaic_height) const { return mosaic_height - y0 - height; }
};

struct TiledRun {
    int width = 0, height = 0;
    WorldFile world;
    std::string output;
    std::vector<TilePlan> tiles;
};

// Reads the plan and every tile's census; a message naming what is wrong
// when something cannot be read.
std::optional<std::string> read_plan(const std::string& path, TiledRun& run);

// The whole mosaic's class colours in the order a census of the whole image
// finds them (column order of their first pixels).
std::vector<std::int32_t> mosaic_census(const TiledRun& run);
