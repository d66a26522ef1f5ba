#include "number_scanner.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

std::optional<int> int_value(const std::string& text, OutOfRange out_of_range)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
    // The magnitude, held at 2^63 once beyond it.
    constexpr std::uint64_t held = std::uint64_t{1} << 63;
    std::uint64_t magnitude = 0;
    for (; i < text.size() && is_decimal_digit(text[i]); ++i) {
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        magnitude = magnitude > (held - digit) / 10 ? held : magnitude * 10 + digit;
    }
    // The value held to the 64-bit range, as strtol holds it.
    const std::int64_t value = negative ? (magnitude == held ? INT64_MIN : -static_cast<std::int64_t>(magnitude))
                                        : (magnitude == held ? INT64_MAX : static_cast<std::int64_t>(magnitude));
    if (value >= INT_MIN && value <= INT_MAX) return static_cast<int>(value);
    switch (out_of_range) {
    case OutOfRange::clamp:
        return value < 0 ? INT_MIN : INT_MAX;
    case OutOfRange::fail:
        return std::nullopt;
    case OutOfRange::wrap:
        break;
    }
    const auto low_bits = static_cast<std::uint32_t>(static_cast<std::uint64_t>(value));
    std::int32_t wrapped;
    std::memcpy(&wrapped, &low_bits, sizeof wrapped);
    return wrapped;
}

namespace {

// Powers of ten that a float holds exactly.
constexpr float exact_powers_of_ten[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr std::uint32_t largest_exact_mantissa = 1u << 24;

}  // namespace

float float_value(std::string_view text)
{
    // A number of at most nine digits without an exponent is gathered into
    // an integer mantissa; when that is exact in a float, the number is a
    // single correctly rounded division (a float quotient of two exact
    // floats). Anything else goes to strtof.
    constexpr int most_digits = 9;  // an int of nine digits does not overflow
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    std::uint32_t mantissa = 0;
    int digits = 0, fraction_digits = 0;
    for (; p != end && is_decimal_digit(*p) && digits < most_digits; ++p, ++digits)
        mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
    if (p != end && *p == '.') {
        for (++p; p != end && is_decimal_digit(*p) && digits < most_digits; ++p, ++digits, ++fraction_digits)
            mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
    }
    if (p != end || mantissa > largest_exact_mantissa) return std::strtof(std::string(text).c_str(), nullptr);
    const float magnitude = static_cast<float>(mantissa) / exact_powers_of_ten[fraction_digits];
    return negative ? -magnitude : magnitude;
}

int FileSource::peek_beyond(std::size_t ahead)
{
    if (!file_) return -1;
    // The characters not consumed yet go to the front.
    std::size_t held = 0;
    if (next_) {
        held = static_cast<std::size_t>(end_ - next_);
        std::memmove(buffer_.data(), next_, held);
    }
    if (ahead >= buffer_.size()) buffer_.resize(ahead + 1);
    while (held <= ahead) {
        const std::size_t got = std::fread(buffer_.data() + held, 1, buffer_.size() - held, file_);
        if (got == 0) break;
        held += got;
    }
    next_ = buffer_.data();
    end_ = next_ + held;
    return held > ahead ? static_cast<unsigned char>(next_[ahead]) : -1;
}

std::optional<std::string> whole_text_number(std::string_view text, NumberForm form)
{
    TextSource in(text);
    std::string number;
    if (!scan_number(in, form, number) || !in.at_end()) return std::nullopt;
    return number;
}
