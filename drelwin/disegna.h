// Drawing segments as black one-pixel lines on a white raster.
//
// Plain twin: drelwin/tests/disegna_test.cpp:reference_segment.
#pragma once

#include "grid.h"
#include "segment_loader.h"

#include <cstdint>

constexpr std::uint8_t drelwin_background = 255;
constexpr std::uint8_t drelwin_ink = 0;

// A segment end coordinate as a pixel index: truncated toward zero (2.9 is
// 2, -0.5 is 0); values beyond the int range are held at its limits.
int truncate_coordinate(float value);

// Draws the segment (x1, y1)-(x2, y2) into Immagine (x the column, y the row
// from the top) as a line of drelwin_ink (see draw_line).
void draw_segment(Grid<std::uint8_t>& Immagine, int x1, int y1, int x2, int y2);

// A white width x height raster with the first `totale` records of
// `Segmenti` drawn into it, in order. Throws std::bad_alloc when the raster
// cannot be held in memory.
Grid<std::uint8_t> disegna(const SegmentTable& Segmenti, int totale, int width, int height);
