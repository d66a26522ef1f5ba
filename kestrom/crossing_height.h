// How far a crossing stands above the terrain around it, on a terrain model
// Dtm(x, y) (x the column, y the row from the top).
#pragma once

#include "grid.h"

// The highest value of the 5 x 5 window centred on (x, y), cells outside the
// raster left out; 0 when every value is lower.
float peak_around(const Grid<float>& Dtm, int x, int y);

// `orizz`: the cells 10 and 11 columns to the left and to the right, on rows
// y and y + 1, summed in that order in single precision and divided by 8,
// whatever the number of cells inside the raster.
float row_mean(const Grid<float>& Dtm, int x, int y);

// `vert`: the cells 10 and 11 rows below and above, on columns x and x + 1,
// summed and divided by 8 as row_mean.
float column_mean(const Grid<float>& Dtm, int x, int y);

// Whether a cell the crossing at (x, y) is measured on (the 5 x 5 window
// and the cells of both means, those inside the raster) holds NaN: the
// terrain there is unknown (a raster's nodata is read as NaN), so the peak
// and the means cannot be told and the crossing is not reported.
bool measured_on_nodata(const Grid<float>& Dtm, int x, int y);

// The minimum excess of the peak over a mean for a crossing to be reported.
constexpr float crossover_threshold = 3.0f;
