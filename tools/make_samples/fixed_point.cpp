#include "fixed_point.h"

#include <cstdio>

namespace samples {

std::int64_t integer_sqrt(std::int64_t n)
{
    if (n <= 0) return 0;
    // Newton's iteration from above converges to the floor of the root.
    std::int64_t r = n, next = (n + 1) / 2;
    while (next < r) {
        r = next;
        next = (r + n / r) / 2;
    }
    return r;
}

std::string two_decimals(std::int64_t hundredths)
{
    const std::int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", hundredths < 0 ? "-" : "", static_cast<long long>(magnitude / 100),
                  static_cast<long long>(magnitude % 100));
    return text;
}

}  // namespace samples
