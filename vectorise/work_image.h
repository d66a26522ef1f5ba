// The class mask and the doubled work image the blob routines run on.
//
// `Immagine`, the bordered mask of one class: (width+2) x (height+2) cells of
// 0/1 with a border of 0; pixel (x, y) of a class map whose row 0 is the top
// goes to cell (x+1, height-y), so mask row 1 is the bottom image row and y
// grows upwards ("mask coordinates": X in 1..width, Y in 1..height).
//
// `Immagine4`, the work image: (2*width+4) x (2*height+4) cells. After
// doubling and growth, mask pixel (X, Y) covers the 3 x 3 cells 2X-1..2X+1 by
// 2Y-1..2Y+1: pixels that share an edge share a line of cells, pixels that
// touch only at a corner share that corner cell, so the cells of a class fall
// apart exactly into its 8-connected regions. Odd cells stand for pixel edges
// and corners, even cells for pixel centres.
//
// Plain twin of build_work_image: MOD_raddoppiatore, MOD_completamento and
// place_sentinels in turn (vectorise/tests/blob_search_test.cpp:
// OneSweepBuildEqualsDoublingGrowthAndSentinels).
#pragma once

#include "grid.h"

#include <cstdint>

// Mask of `colour` in the packed-colour matrix `Matrice` (row 0 the top):
// Immagine is resized to (width+2) x (height+2).
void caricamento(const Grid<std::int32_t>& Matrice, std::int32_t colour, Grid<std::uint8_t>& Immagine);

// Extent of the work image of a width x height mask: 2*width+4 (or
// 2*height+4). Throws std::bad_alloc when it does not fit an int.
int work_image_extent(int pixels);

// Doubles the bordered mask into `Immagine4` (resized to the work-image
// extent when it differs): mask cell (X, Y) fills cells 2X-1..2X by
// 2Y-1..2Y; rows 0, 2*height+1..2*height+3 and columns 0, 2*width+1..
// 2*width+3 are 0. Every cell is rewritten.
void MOD_raddoppiatore(const Grid<std::uint8_t>& Immagine, int width, int height, Grid<std::uint8_t>& Immagine4);

// Grows every run of 1 by one cell upwards, then by one cell to the right,
// without cascading (cells 0/1 only).
void MOD_completamento(Grid<std::uint8_t>& Immagine4, int columns, int rows);

// The scan's sentinels: the last column 20 in rows 1..rows-2, column 0 and
// rows 0 and rows-1 cleared, then cell (0, rows-1) 40.
void place_sentinels(Grid<std::uint8_t>& Immagine4);

// The three steps above in one sweep: the work image of a bordered 0/1
// mask, ready for the first blob search.
void build_work_image(const Grid<std::uint8_t>& Immagine, int width, int height, Grid<std::uint8_t>& Immagine4);
