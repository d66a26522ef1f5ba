// Numbers written into the suite's text files and reports.
#pragma once

#include <string>

// `value` formatted by `format`, one printf conversion of a double such as
// "%f" or "%12.4f" with text around it; not-a-number and infinities are
// written "nan", "inf" and "-inf" (in the conversion's field width), the
// same on every platform, whatever the C library would write.
std::string format_number(const char* format, double value);
