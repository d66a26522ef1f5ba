// Channel pixels: foreground pixels with exactly two background neighbours
// lying on opposite sides of them, as in a one-pixel channel cut into a
// building or a thin neck between two parts.
//
// Plain twin: murgel/tests/reference_cleaning.cpp:reference::apertura_canale_tre.
#pragma once

#include "grid.h"

#include <cstdint>

// Clears cell (x, y) when it is such a channel pixel. Returns true when it
// did.
bool open_channel_pixel(Grid<std::uint8_t>& Immagine, int x, int y);

// One pass over image rows and columns 2 to H-1 and 2 to W-1 (cells 2 to
// height-3 and 2 to width-3), row by row from the top, in place. Returns 1
// when it changed a cell, else 0.
int apertura_canale_tre(Grid<std::uint8_t>& Immagine);

// Repeats apertura_canale_tre until a pass changes nothing.
void remove_channel_pixels(Grid<std::uint8_t>& Immagine);
