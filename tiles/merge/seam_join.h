// Blobs cut by tile edges, joined again.
//
// A blob of a tiled class map comes out of the tiles as pieces, one polygon
// record per tile, each whose outer ring runs along the tile's edge where
// the blob was cut. Rings are chains of pixel edges with the blob on their
// left (outer rings counter-clockwise, holes clockwise), so two pieces that
// touch across a seam run along the seam in opposite directions there:
// those pixel edges cancel. What is left is the boundary of the whole blob:
// its outer ring and the holes that only the joined blob closes.
//
// Where four edges meet at one corner (two pixels of the blob touching only
// diagonally, inside a tile or across a seam or a tile corner), the blob is
// 8-connected and the background between is not: the walk arriving at such
// a corner turns right, so that it stays with one background pixel. This is
// how the tracer follows its shared corners.
#pragma once

#include "rings.h"

#include <functional>
#include <vector>

// Whether the pixel edge from a to b (one step, horizontal or vertical)
// lies on a seam between tiles.
using SeamTest = std::function<bool(const Corner& a, const Corner& b)>;

// The rings of the union of the pieces, given the pieces' outer rings (in
// whole-image units, each with at least one edge on a seam), each in traced
// form: the outer ring (counter-clockwise) first, then the new holes
// (clockwise) in column order of their first corners.
std::vector<EdgeRing> join_pieces(const std::vector<const EdgeRing*>& outer_rings, const SeamTest& on_seam);
