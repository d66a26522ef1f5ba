#include "number_reader.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

constexpr std::size_t file_buffer_size = 1 << 16;

bool is_blank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

// Powers of ten that a float holds exactly.
constexpr float exact_powers_of_ten[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr std::uint32_t largest_exact_mantissa = 1u << 24;

}  // namespace

NumberReader::NumberReader(std::FILE* file) : file_(file), buffer_(file_buffer_size) {}

NumberReader::NumberReader(std::string text) : buffer_(text.begin(), text.end()), end_(buffer_.size()) {}

bool NumberReader::refill()
{
    if (!file_) return false;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    pos_ = 0;
    return end_ > 0;
}

NumberReader::Result NumberReader::read_float(float& value)
{
    int c = peek();
    while (is_blank(c)) {
        advance();
        c = peek();
    }
    if (c < 0) return Result::end_of_input;

    token_.clear();
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        token_.push_back(static_cast<char>(c));
        advance();
        c = peek();
    }

    // Digits are gathered into an integer mantissa while it stays exact in a
    // float; the common short numbers then need a single correctly rounded
    // division (a float quotient of two exact floats).
    std::uint32_t mantissa = 0;
    bool mantissa_exact = true;
    int fraction_digits = 0;
    int digits = 0;
    auto take_digit = [&](int d, bool in_fraction) {
        token_.push_back(static_cast<char>(d));
        ++digits;
        if (!mantissa_exact) return;
        const std::uint32_t next = mantissa * 10 + static_cast<std::uint32_t>(d - '0');
        if (next > largest_exact_mantissa) {
            mantissa_exact = false;
            return;
        }
        mantissa = next;
        if (in_fraction) ++fraction_digits;
    };
    while (is_digit(c)) {
        take_digit(c, false);
        advance();
        c = peek();
    }
    if (c == '.') {
        token_.push_back('.');
        advance();
        c = peek();
        while (is_digit(c)) {
            take_digit(c, true);
            advance();
            c = peek();
        }
    }
    if (digits == 0) return Result::not_a_number;

    // An exponent mark without digits is consumed and the number is what
    // came before it, as the GNU C library reads "1e" or "1e+".
    bool exponent = false;
    if (c == 'e' || c == 'E') {
        advance();
        c = peek();
        char exponent_sign = 0;
        if (c == '+' || c == '-') {
            exponent_sign = static_cast<char>(c);
            advance();
            c = peek();
        }
        if (is_digit(c)) {
            exponent = true;
            token_.push_back('e');
            if (exponent_sign) token_.push_back(exponent_sign);
            while (is_digit(c)) {
                token_.push_back(static_cast<char>(c));
                advance();
                c = peek();
            }
        }
    }

    if (!exponent && mantissa_exact && fraction_digits < 11) {
        const float magnitude = static_cast<float>(mantissa) / exact_powers_of_ten[fraction_digits];
        value = negative ? -magnitude : magnitude;
    } else {
        value = std::strtof(token_.c_str(), nullptr);
    }
    return Result::number;
}
