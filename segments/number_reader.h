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
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

class NumberReader {
public:
    enum class Result { number, end_of_input, not_a_number };

    // Reads the file from its current position on.
    explicit NumberReader(std::FILE* file);
    // Reads the given text only.
    explicit NumberReader(std::string text);

    // The next number. At end_of_input or not_a_number nothing is stored and
    // the reader is not meant to be read further.
    Result read_float(float& value);

private:
    int peek()
    {
        if (pos_ == end_ && !refill()) return -1;
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    void advance() { ++pos_; }
    bool refill();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::string token_;  // the number's characters, for the slow conversion
};
