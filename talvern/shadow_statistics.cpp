#include "shadow_statistics.h"

#include <cmath>

// Single-precision values throughout, each expression evaluated in double
// and rounded on its store into a float.

float shadow_length(std::vector<float>& dist_shadow, int lines_hitting_building, int samples_kept,
                    const TalvernParameters& parameters)
{
    const int p = lines_hitting_building == 0 ? 0 : static_cast<int>(static_cast<long long>(samples_kept) * 100 / lines_hitting_building);
    if (p < parameters.soglia_percentuale_campioni || samples_kept <= 0) return 0;

    float sum = 0;
    for (int i = 0; i < samples_kept; ++i) sum += dist_shadow[i];
    const float m = static_cast<float>(static_cast<double>(sum) / samples_kept);
    const float tolerance = static_cast<float>(parameters.soglia_scostamento_massimo * static_cast<double>(m) / 100);

    int kept = samples_kept;
    for (int i = 0; i < samples_kept; ++i) {
        if (std::fabs(static_cast<double>(dist_shadow[i]) - m) > tolerance) {
            dist_shadow[i] = 0;
            --kept;
        }
    }
    if (kept == 0) return m;
    float kept_sum = 0;
    for (int i = 0; i < samples_kept; ++i) kept_sum += dist_shadow[i];
    const float L = static_cast<float>(static_cast<double>(kept_sum) / kept);
    return L > 0 ? L : m;
}

float building_height(float L, float sun_elevation_angle, float risoluzione)
{
    const float along_sun = static_cast<float>(L * std::tan(sun_elevation_angle / 57.2965));
    return static_cast<float>(static_cast<double>(along_sun) * risoluzione);
}
