// The three directional transforms of a grey image for a radius: for every
// pixel, the mean grey value along each of the 180 lines of that radius
// through it (the pixel itself not sampled, points outside the image not
// counted), reduced to the darkest direction, the darkest mean and how much
// the average of the 180 means exceeds it.
//
// Plain twin: vorlix/tests/reference_filter.cpp:reference::transforms.
#pragma once

#include "direction_table.h"
#include "filter_work.h"
#include "grid.h"

#include <cstdint>
#include <functional>
#include <vector>

struct RadiusTransforms {
    int raggio = 0;
    Grid<std::uint8_t> direzione;        // 0..179, the darkest direction (lowest on ties)
    Grid<std::uint8_t> minima_radianza;  // the darkest mean, truncated
    Grid<std::uint8_t> scarto_radianza;  // mean of the 180 means minus the darkest, truncated
    int max_min = 0;                     // largest minima_radianza value of the image
    int max_scarto = 0;                  // largest scarto_radianza value of the image
};

// Told of each row y in increasing order, on the calling thread, once the
// work on every row before it is done.
using RowProgress = std::function<void(int y)>;

// The transforms of `immagine` for each radius of `raggi`, which must be
// increasing and within table.max_raggio(), or beyond it when the table is
// that of direction_table_radius for this image.
//
// All radii are worked in one pass: the offsets of a direction for a radius
// are a prefix of its offsets for the next one, so each direction's sums are
// carried from radius to radius. A sum is the integer sum of shifted rows of
// a zero-padded copy of the image; the number of inside points follows from
// how many leading offsets stay inside along the row and along the column.
//
// The results are those of the per-pixel procedure in doubles, bit for bit.
// Where every pixel of a run of pixels has the same number of inside points
// on each direction (all of the image but its corners: the runs go along the
// rows in the middle columns and down the columns near the left and right
// edges), the darkest direction is found by comparing the sums as exact
// fractions, grouped by their number of points, and the average of the means
// is taken from the groups' sums; the rare pixel whose deviation lies within
// a hair of a whole number is worked again in the procedure's own order.
std::vector<RadiusTransforms> compute_transforms(const Grid<std::uint8_t>& immagine, const std::vector<int>& raggi,
                                                 const DirectionTable& table, const RowProgress& row_progress = {},
                                                 const FilterWork& work = {});
