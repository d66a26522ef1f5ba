#include "arguments.h"

#include <cctype>
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

namespace {

bool digit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Length of the run of digits at text[i].
std::size_t digits_at(const std::string& text, std::size_t i)
{
    std::size_t n = 0;
    while (i + n < text.size() && digit(text[i + n])) ++n;
    return n;
}

}  // namespace

std::optional<int> whole_int(const std::string& text)
{
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    const std::size_t n = digits_at(text, i);
    if (n == 0 || i + n != text.size()) return std::nullopt;
    return atoi_like(text.c_str());
}

std::optional<double> whole_number(const std::string& text)
{
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    std::size_t mantissa = digits_at(text, i);
    i += mantissa;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = digits_at(text, i + 1);
        mantissa += fraction;
        i += 1 + fraction;
    }
    if (mantissa == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t exponent = digits_at(text, j);
        if (exponent == 0) return std::nullopt;
        i = j + exponent;
    }
    if (i != text.size()) return std::nullopt;
    return std::strtod(text.c_str(), nullptr);
}

std::string not_a_whole_number(const std::string& text, const std::string& meaning)
{
    return "'" + text + "' is not a whole number (" + meaning + ")";
}

std::string not_a_number(const std::string& text, const std::string& meaning)
{
    return "'" + text + "' is not a number (" + meaning + ")";
}
