// Command-line helpers shared by the programs' drivers.
#pragma once

#include <string>

// Arguments first .. argc-1 joined with single blanks: a working folder whose
// name holds blanks may arrive split over several words.
std::string join_arguments(int argc, char** argv, int first);

// Decimal text to int the way atoi reads it (leading blanks, sign, digits;
// anything else ends the number; no number gives 0), clamped to the int range.
int atoi_like(const char* text);

// Decimal text to double the way atof reads it (no number gives 0).
double atof_like(const char* text);
