// Command-line helpers shared by the programs' drivers.
#pragma once

#include <optional>
#include <string>

// Arguments first .. argc-1 joined with single blanks: a working folder whose
// name holds blanks may arrive split over several words.
std::string join_arguments(int argc, char** argv, int first);

// Decimal text to int the way atoi reads it (leading blanks, sign, digits;
// anything else ends the number; no number gives 0), clamped to the int range.
int atoi_like(const char* text);

// Decimal text to double the way atof reads it (no number gives 0).
double atof_like(const char* text);

// The whole text as a decimal integer: an optional sign and digits, nothing
// else ("12x", "1.5", "" are none); values beyond the int range are clamped.
std::optional<int> whole_int(const std::string& text);

// The whole text as a decimal number: an optional sign, digits with an
// optional point and fraction, an optional exponent ("0,25", "abc", "nan",
// "inf" are none).
std::optional<double> whole_number(const std::string& text);

// The reason a command-line argument is refused, naming the value and what
// it stands for: "'12x' is not a whole number (width)", "'0,25' is not a
// number (pixel size)".
std::string not_a_whole_number(const std::string& text, const std::string& meaning);
std::string not_a_number(const std::string& text, const std::string& meaning);
