// Reads decimal numbers one after another from a text, the way "%f" of the C
// library reads them: blanks and line ends are skipped, a number ends at the
// first character that cannot continue it (so "1-2" is two numbers), and the
// value is rounded to single precision. Line ends play no part: "\r\n",
// "\n" and "\r" are all white space. Files are read in binary mode, so the
// same bytes give the same numbers on every platform.
//
// Accepted forms: optional sign, digits with an optional decimal point (at
// least one digit), optional exponent ("e" or "E", optional sign, digits).
// An exponent mark without digits is swallowed ("1e 5" is 1 and 5, as the GNU
// C library reads it). Anything else is a token that is not a number; words
// such as "inf" and "nan" are not numbers here.
//
// Plain twin: the C library's sscanf and strtof
// (segments/tests/number_reader_test.cpp).
#pragma once

#include "number_scanner.h"

#include <cstdio>
#include <optional>
#include <string>

class NumberReader {
public:
    enum class Result { number, end_of_input, not_a_number };

    // Reads the file from its current position on.
    explicit NumberReader(std::FILE* file);
    // Reads the given text only.
    explicit NumberReader(std::string text);

    NumberReader(const NumberReader&) = delete;
    NumberReader& operator=(const NumberReader&) = delete;

    // The next number. At end_of_input or not_a_number nothing is stored and
    // the reader is not meant to be read further.
    Result read_float(float& value);

private:
    template <typename Source>
    Result read_from(Source& in, float& value);

    std::string text_;                // the text read, when it is not a file
    TextSource text_source_;
    std::optional<FileSource> file_source_;
};
