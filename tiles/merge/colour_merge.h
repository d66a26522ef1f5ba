// One class colour of a tiled Polvane run: the tiles' records joined into
// the records one run on the whole mosaic writes.
//
// What one run writes, per colour: one record per blob (8-connected pixels
// of the colour) that lies in no hole of another blob of the colour, in the
// order of the lowest row of the blob and the leftmost pixel of that row;
// each record holds the blob's rings and those of every blob of the colour
// inside its holes, in column order of their first corners, the first ring
// counter-clockwise and every later one clockwise.
//
// The tiles give the same records for every blob that no seam cuts. The
// pieces of a cut blob are found by their runs along the seams (two pieces
// meet where their runs share a point, which takes in pixels touching only
// at a corner, across a tile corner too) and joined (seam_join.h). A joined
// blob may close new holes: the blobs inside them, whole or joined, go into
// its record as islands, traced again from their pixels as the tracer
// follows a record's later rings (at corners where pixels touch only
// diagonally it turns otherwise than along an outer ring).
//
// Memory: the outer rings of the pieces that touch a seam, and a few numbers
// for every record of the colour; records are read again from the tiles'
// shapefiles one at a time when they are written. A joined record is held
// whole while it is written, an island in a window of its own pixels.
#pragma once

#include "shapefile_writer.h"
#include "tile_plan.h"

#include <optional>

std::optional<ShapefileProblem> merge_colour(const TiledRun& run, std::int32_t colour, const ShapefilePaths& out,
                                             const ShapefileOptions& options);
