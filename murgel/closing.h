// Per-building closing with size control: each foreground blob gains the
// cells of its 3 x 3 closing (dilation, then erosion) that form connected
// gaps smaller than the blob threshold, such as notches and narrow inlets;
// larger added regions are not taken.
//
// Plain twin: murgel/tests/reference_cleaning.cpp:reference::dilate_erode.
#pragma once

#include "grid.h"

#include <cstdint>

// Closes every foreground blob (cells of 1) of the bordered mask; the blob
// and the cells it gains become 6. Each blob is handled in time linear in its
// size, on its own cells and their surroundings.
//
// The closing of a blob is taken as on a frame one cell wider than the mask
// all round: the dilation ring of the blob loses, by the erosion, every cell
// next to a cell of the mask (border ring included) that is neither blob nor
// ring; cells beyond the mask never erode, so the closing may reach the
// mask's border ring. The ring cells left are grouped into 8-connected
// regions, and a region is accepted when it counts fewer than `soglia_blob`
// cells.
void dilate_erode(Grid<std::uint8_t>& Immagine, int soglia_blob);
