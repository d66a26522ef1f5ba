#include "number_text.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string printed(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string vprinted(const char* format, std::va_list arguments)
{
    std::va_list again;
    va_copy(again, arguments);
    const int size = std::vsnprintf(nullptr, 0, format, again);
    va_end(again);
    if (size <= 0) return {};
    std::vector<char> text(static_cast<std::size_t>(size) + 1);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    return std::string(text.data(), static_cast<std::size_t>(size));
}

std::string printed(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::string text = vprinted(format, arguments);
    va_end(arguments);
    return text;
}

}  // namespace

std::string format_number(const char* format, double value)
{
    if (std::isfinite(value)) return printed(format, value);
    const char* word = std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    // The conversion's flags and width kept, its precision and letter
    // replaced by a string conversion.
    std::string text_format;
    for (const char* p = format; *p; ++p) {
        if (*p != '%' || p[1] == '%') {
            text_format += *p;
            if (*p == '%') text_format += *++p;
            continue;
        }
        text_format += '%';
        ++p;
        while (*p && std::strchr("-+ #0", *p)) {
            if (*p == '-') text_format += '-';
            ++p;
        }
        while (*p >= '0' && *p <= '9') text_format += *p++;
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9') ++p;
        }
        while (*p && std::strchr("hlLqjzt", *p)) ++p;
        text_format += 's';
        if (!*p) break;
    }
    return printed(text_format.c_str(), word);
}
