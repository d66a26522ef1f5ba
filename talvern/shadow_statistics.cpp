#include "shadow_statistics.h"

#include <cmath>

// Single-precision values throughout, each expression evaluated in double
// and rounded on its store into a float.

float shadow_length(std::vector<float>& dist_shadow, int numero_test_1, int numero_test_2,
                    const TalvernParameters& parameters)
{
    const int p = numero_test_1 == 0 ? 0 : static_cast<int>(static_cast<long long>(numero_test_2) * 100 / numero_test_1);
    if (p < parameters.soglia_percentuale_campioni || numero_test_2 <= 0) return 0;

    float sum = 0;
    for (int i = 0; i < numero_test_2; ++i) sum += dist_shadow[i];
    const float m = static_cast<float>(static_cast<double>(sum) / numero_test_2);
    const float tolerance = static_cast<float>(parameters.soglia_scostamento_massimo * static_cast<double>(m) / 100);

    int kept = numero_test_2;
    for (int i = 0; i < numero_test_2; ++i) {
        if (std::fabs(static_cast<double>(dist_shadow[i]) - m) > tolerance) {
            dist_shadow[i] = 0;
            --kept;
        }
    }
    if (kept == 0) return m;
    float kept_sum = 0;
    for (int i = 0; i < numero_test_2; ++i) kept_sum += dist_shadow[i];
    const float L = static_cast<float>(static_cast<double>(kept_sum) / kept);
    return L > 0 ? L : m;
}

float building_height(float L, float sun_elevation_angle, float risoluzione)
{
    const float along_sun = static_cast<float>(L * std::tan(sun_elevation_angle / 57.2965));
    return static_cast<float>(static_cast<double>(along_sun) * risoluzione);
}
