// The crossroads file: records of 8 numbers (two segments), each crossing of
// their lines measured against the terrain model.
#pragma once

#include "grid.h"

#include <cstdio>

// Reads the records of 8 numbers up to the end of the file or the first
// token that is not a number, and evaluates each on `Dtm` (x the column, y
// the row from the top). A crossing standing out from the terrain is written
// as "x\ty\texcess\n" to `output` and to the console. An incomplete last
// record is left out, with a note.
void evaluate_crossroads(const Grid<float>& Dtm, std::FILE* crossroads, std::FILE* output);
