// From the shadow lengths sampled along a building's trace lines to its
// height.
#pragma once

#include "parameters.h"

#include <vector>

// The shadow length L, in pixels, from the samples_kept lengths in
// `dist_shadow` of a building hit by lines_hitting_building trace lines. 0 when too few lines gave a sample (integer percentage below
// soglia_percentuale_campioni) or none did. Otherwise the mean of the
// samples that lie within soglia_scostamento_massimo % of the mean of all,
// or the mean of all when none does. Samples found too far from the mean are
// set to 0 in `dist_shadow`.
float shadow_length(std::vector<float>& dist_shadow, int lines_hitting_building, int samples_kept,
                    const TalvernParameters& parameters);

// The height, in metres, of a shadow L pixels long under the sun elevation
// (degrees) with pixels of risoluzione metres.
float building_height(float L, float sun_elevation_angle, float risoluzione);
