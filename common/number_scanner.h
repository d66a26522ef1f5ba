// Decimal numbers in text, scanned by the C library's conventions ("%d",
// "%f", "%lf"): one scanner for every reader of the suite (prompts, command
// lines, parameter files, dimension, world and segments files). What differs
// from one reader to the next is named where it calls: the NumberForm it
// accepts, and for integers what a value beyond the int range becomes.
//
// A scan looks at a Source: anything with
//     int peek(std::size_t ahead = 0);   // the character `ahead` places on, or -1 at the end
//     const char* looked_at() const;     // the characters peeked at so far, from the next one
//     void advance(std::size_t count = 1);
// TextSource and FileSource below are the suite's sources; the console
// brings its own (console.cpp).
//
// Plain twin: the C library itself (common/tests/number_scanner_test.cpp
// scans random texts with it and with sscanf).
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a number may hold beyond an optional sign and decimal digits.
struct NumberForm {
    bool fraction = false;  // a decimal point, digits before or after it
    bool exponent = false;  // "e" or "E", an optional sign, digits
    // An exponent mark that no digit follows ("1e", "1e+"): put back, the
    // number ending before it, or swallowed with the number, as the GNU C
    // library's "%f" reads it ("1ex" is 1, then "x").
    bool bare_exponent_swallowed = false;
    // The other numbers of the C library's "%lf": "inf", "infinity" and
    // "nan" in any case, and hexadecimal ones ("0x1.8p3").
    bool c_library_words = false;

    // "%d": a sign and digits.
    static constexpr NumberForm integer() { return {}; }
    // A sign, digits with an optional point and fraction, an optional
    // exponent; a bare exponent mark is put back.
    static constexpr NumberForm decimal() { return {true, true, false, false}; }
    // The same with a bare exponent mark swallowed.
    constexpr NumberForm swallowing_bare_exponent() const { return {fraction, exponent, true, c_library_words}; }
    // "%lf" as the GNU C library reads it: decimal numbers with their bare
    // exponent marks swallowed, and the C library's words.
    static constexpr NumberForm c_library_float() { return {true, true, true, true}; }
};

// What an integer beyond the int range becomes.
enum class OutOfRange {
    clamp,  // the nearest int
    fail,   // no value
    wrap,   // the low 32 bits of the value held to 64 bits, as "%d" of the
            // GNU C library stores it on 64-bit systems
};

// The C locale's white space: blank, tab, newline, vertical tab, form feed,
// carriage return.
inline bool is_blank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool is_decimal_digit(int c)
{
    return c >= '0' && c <= '9';
}

// Skips white space.
template <typename Source>
void skip_blanks(Source& in)
{
    while (is_blank(in.peek())) in.advance();
}

namespace number_scanning {

inline bool is_hex_digit(int c)
{
    return is_decimal_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

inline int lower(int c)
{
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// Whether `word` (lower case) stands at in.peek(at), in any case.
template <typename Source>
bool word_at(Source& in, std::size_t at, const char* word)
{
    for (std::size_t i = 0; word[i]; ++i)
        if (lower(in.peek(at + i)) != word[i]) return false;
    return true;
}

// Passes over the digits from in.peek(n) on (hexadecimal ones when `hex`),
// advancing n; returns how many there were.
template <bool hex, typename Source>
std::size_t skip_digits(Source& in, std::size_t& n)
{
    const std::size_t first = n;
    while (hex ? is_hex_digit(in.peek(n)) : is_decimal_digit(in.peek(n))) ++n;
    return n - first;
}

// The exponent whose mark ('e' or 'p') stands at in.peek(n): the mark, an
// optional sign and decimal digits; n is advanced past it and `length` (the
// number's characters) with it. A mark without digits is left alone, or
// passed over when `swallowed` (n only).
template <typename Source>
void skip_exponent(Source& in, std::size_t& n, std::size_t& length, bool swallowed)
{
    std::size_t m = n + 1;
    if (in.peek(m) == '+' || in.peek(m) == '-') ++m;
    if (!is_decimal_digit(in.peek(m))) {
        if (swallowed) n = m;
        return;
    }
    skip_digits<false>(in, m);
    n = length = m;
}

}  // namespace number_scanning

// Measures the number of `form` that starts at the source's next character
// (white space is not skipped), consuming nothing: returns how many
// characters are its text, the text to convert with strtol, strtof or
// strtod (0: no number there), and sets `taken` to how many a scan consumes
// (the text and a swallowed exponent mark). The text stands at
// in.looked_at() until the source advances.
template <typename Source>
std::size_t measure_number(Source& in, NumberForm form, std::size_t& taken)
{
    using namespace number_scanning;
    std::size_t n = 0;  // characters looked at
    if (in.peek(0) == '+' || in.peek(0) == '-') ++n;
    const std::size_t sign = n;

    if (form.c_library_words) {
        // A word must stand whole: "na", "infin" are no number at all.
        if (lower(in.peek(n)) == 'n') {
            if (!word_at(in, n, "nan")) return 0;
            return taken = n + 3;
        }
        if (lower(in.peek(n)) == 'i') {
            if (!word_at(in, n, "inf")) return 0;
            n += 3;
            if (lower(in.peek(n)) == 'i') {
                if (!word_at(in, n, "inity")) return 0;
                n += 5;
            }
            return taken = n;
        }
        if (in.peek(n) == '0' && lower(in.peek(n + 1)) == 'x') {
            n += 2;
            std::size_t digits = skip_digits<true>(in, n);
            if (in.peek(n) == '.') {
                ++n;
                digits += skip_digits<true>(in, n);
            }
            // "0x." still converts: its "0".
            if (n == sign + 2) return 0;
            std::size_t length = n;
            if (digits > 0 && lower(in.peek(n)) == 'p') skip_exponent(in, n, length, true);
            taken = n;
            return length;
        }
    }

    std::size_t digits = skip_digits<false>(in, n);
    if (form.fraction && in.peek(n) == '.') {
        ++n;
        digits += skip_digits<false>(in, n);
    }
    if (digits == 0) return 0;
    std::size_t length = n;
    if (form.exponent && lower(in.peek(n)) == 'e') skip_exponent(in, n, length, form.bare_exponent_swallowed);
    taken = n;
    return length;
}

// Scans the number of `form` that starts at the source's next character
// (white space is not skipped) and consumes it, its text in `text`. No
// number there: false, and nothing consumed.
template <typename Source>
bool scan_number(Source& in, NumberForm form, std::string& text)
{
    std::size_t taken = 0;
    const std::size_t length = measure_number(in, form, taken);
    if (length == 0) return false;
    text.assign(in.looked_at(), length);
    in.advance(taken);
    return true;
}

// The integer of a text that scan_number gave for NumberForm::integer():
// none when it lies beyond the int range and `out_of_range` is fail.
std::optional<int> int_value(const std::string& text, OutOfRange out_of_range);

// "%d": white space skipped, then an integer scanned and converted. Nothing
// when no integer stands there (white space stays consumed) or when it lies
// beyond the int range and `out_of_range` is fail.
template <typename Source>
std::optional<int> scan_int(Source& in, OutOfRange out_of_range)
{
    skip_blanks(in);
    std::string number;
    if (!scan_number(in, NumberForm::integer(), number)) return std::nullopt;
    return int_value(number, out_of_range);
}

// White space skipped, then a number of `form` scanned and converted with
// strtod ("%lf" with NumberForm::c_library_float()). Nothing when no number
// stands there (white space stays consumed).
template <typename Source>
std::optional<double> scan_double(Source& in, NumberForm form)
{
    skip_blanks(in);
    std::string number;
    if (!scan_number(in, form, number)) return std::nullopt;
    return std::strtod(number.c_str(), nullptr);
}

// The float of a number's text, rounded as strtof rounds it (short numbers
// by a correctly rounded division of exact floats).
float float_value(std::string_view text);

// Characters of a text in memory; it must outlive the source.
class TextSource {
public:
    explicit TextSource(std::string_view text, std::size_t position = 0) : text_(text), position_(position) {}

    int peek(std::size_t ahead = 0) const
    {
        const std::size_t at = position_ + ahead;
        return at < text_.size() ? static_cast<unsigned char>(text_[at]) : -1;
    }
    const char* looked_at() const { return text_.data() + position_; }
    void advance(std::size_t count = 1) { position_ += count; }

    // Characters of the text before the next one.
    std::size_t position() const { return position_; }
    bool at_end() const { return position_ >= text_.size(); }

private:
    std::string_view text_;
    std::size_t position_;
};

// Characters of a file from its position on, read in blocks. The file is
// read ahead: what it holds after the scanned characters is no longer at its
// position.
class FileSource {
public:
    explicit FileSource(std::FILE* file) : file_(file), buffer_(block) {}
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    int peek(std::size_t ahead = 0)
    {
        if (ahead < static_cast<std::size_t>(end_ - next_)) return static_cast<unsigned char>(next_[ahead]);
        return peek_beyond(ahead);
    }
    const char* looked_at() const { return next_; }
    void advance(std::size_t count = 1) { next_ += count; }

private:
    static constexpr std::size_t block = 1 << 16;

    // Reads on until the character `ahead` places on is held; -1 at the end
    // of the file.
    int peek_beyond(std::size_t ahead);

    std::FILE* file_;
    std::vector<char> buffer_;
    const char* next_ = nullptr;  // the next character, in buffer_
    const char* end_ = nullptr;   // end of what was read
};

// The whole text as a number of `form`, to convert with strtol, strtof or
// strtod; nothing for any other text (white space included).
std::optional<std::string> whole_text_number(std::string_view text, NumberForm form);
