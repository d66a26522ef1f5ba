#include "sun.h"

#include "fixed_point.h"

namespace samples {

std::int64_t shadow_length(int height_cm)
{
    return divide_rounded(static_cast<std::int64_t>(height_cm) * fixed_one * fixed_one, tan_elevation * pixel_size_cm);
}

ShadowVector shadow_vector(int height_cm)
{
    const std::int64_t length = shadow_length(height_cm);
    // Up in the picture is towards row 0.
    return ShadowVector{divide_rounded(length * cos_azimuth, fixed_one), -divide_rounded(length * sin_azimuth, fixed_one)};
}

}  // namespace samples
