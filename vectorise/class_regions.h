// The 8-connected regions of a class map, found in one pass, so that each
// blob can be traced in a window of its own (work_window.h) instead of a
// whole work image per class.
//
// The class map holds one class index per pixel in mask orientation: pixel
// (x, y) of the grid is mask pixel (x+1, y+1), row 0 the bottom row of the
// image. Pixels holding `no_class` belong to no region.
//
// Plain twin: vectorise/tests/windowed_tracing_test.cpp:SameRegionsAsAFloodFillInScanOrder
// (a flood fill from every unlabelled pixel in scan order).
#pragma once

#include "grid.h"

#include <cstdint>
#include <vector>

struct ClassRegion {
    std::uint8_t class_index = 0;
    // Pixel rectangle in mask coordinates (1-based, row 1 at the bottom).
    int x_min = 0, x_max = 0, y_min = 0, y_max = 0;
};

struct ClassRegions {
    // Region of every pixel (index into `regions`), -1 for no class; same
    // orientation as the class map.
    Grid<std::int32_t> region_of;
    // In the order the blob search of the work image meets them: by their
    // lowest row, then by the leftmost pixel of that row.
    std::vector<ClassRegion> regions;
};

ClassRegions find_class_regions(const Grid<std::uint8_t>& classes, std::uint8_t no_class);

// Indices of the regions of each class, each list in the order of `regions`:
// result[c] for class c (classes 0 .. class_count-1).
std::vector<std::vector<std::int32_t>> regions_by_class(const ClassRegions& found, int class_count);
