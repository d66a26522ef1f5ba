// Reshaping of the blob in hand (cells of 4 in the work image) before its
// height is written: the one-cell growth of the doubling is undone, and
// cells that touch only at a corner are joined.
#pragma once

#include "box_blob.h"
#include "grid.h"

#include <cstdint>

// Removes the top cell of 4 of every column and the rightmost cell of 4 of
// every row of the box (the first 4 under a 0 met walking down, or left).
void MOD_completamento_inverso(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4);

// Where two cells of 4 meet only at a corner in a 2 x 2 block, the other two
// cells of the block become 4 as well.
void MOD_completamento_spigoli_diagonali(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4);

// Writes rise_value at every pixel that a cell of 4 in the box belongs to:
// cell (c, r) belongs to pixel ((c-1)/2, (r-1)/2) of Matrice_raise (row 0
// the bottom).
void rise_write(const BlobBox& box_blob, float rise_value, const Grid<std::uint8_t>& Immagine4,
               Grid<float>& Matrice_raise);
