#include "arguments.h"

#include "number_scanner.h"

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
    TextSource in(text);
    return scan_int(in, OutOfRange::clamp).value_or(0);
}

double atof_like(const char* text)
{
    return std::strtod(text, nullptr);
}

std::optional<int> whole_int(const std::string& text)
{
    const std::optional<std::string> number = whole_text_number(text, NumberForm::integer());
    if (!number) return std::nullopt;
    return int_value(*number, OutOfRange::clamp);
}

std::optional<double> whole_number(const std::string& text)
{
    const std::optional<std::string> number = whole_text_number(text, NumberForm::decimal());
    if (!number) return std::nullopt;
    return std::strtod(number->c_str(), nullptr);
}

std::string not_a_whole_number(const std::string& text, const std::string& meaning)
{
    return "'" + text + "' is not a whole number (" + meaning + ")";
}

std::string not_a_number(const std::string& text, const std::string& meaning)
{
    return "'" + text + "' is not a number (" + meaning + ")";
}
