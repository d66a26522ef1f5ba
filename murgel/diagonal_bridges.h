// Diagonal bridges: two foreground pixels that touch only at a corner. The
// one with fewer foreground neighbours is removed; on a tie, the right-hand
// one of the pair.
//
// Plain twin: murgel/tests/reference_cleaning.cpp:reference::procedura_diagonale.
#pragma once

#include "grid.h"

#include <cstdint>

// Sum of the eight neighbours of cell (i, j) of the bordered 0/1 mask.
int verifica_maggioranza(const Grid<std::uint8_t>& Immagine, int i, int j);

// Breaks the diagonal bridge, if any, in the 2 x 2 window whose top-left cell
// is (x, y). Returns true when it cleared a cell, and names it.
bool break_diagonal_bridge(Grid<std::uint8_t>& Immagine, int x, int y, int& cleared_x, int& cleared_y);

// One pass over every 2 x 2 window of the image, row by row from the top,
// each window seeing the changes of those before it. Returns 1 when it
// changed a cell, else 0.
int procedura_diagonale(Grid<std::uint8_t>& Immagine);

// Repeats procedura_diagonale until a pass changes nothing.
void remove_diagonal_bridges(Grid<std::uint8_t>& Immagine);
