#include "arguments.h"

#include <climits>
#include <cstdlib>

std::string join_arguments(int argc, char** argv, int first)
{
    std::string joined;
    for (int i = first; i < argc; ++i) {
        if (i > first) joined += ' ';
        joined += argv[i];
    }
    return joined;
}

int atoi_like(const char* text)
{
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double atof_like(const char* text)
{
    return std::strtod(text, nullptr);
}
