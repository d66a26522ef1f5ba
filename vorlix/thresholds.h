// From the transforms of one radius to its candidate mask: scaling, the
// radius' thresholds, the three threshold masks and their combination.
// Masks hold 0 where a pixel passes and 255 where it does not.
//
// Plain twins of the sliding windows: vorlix/tests/thresholds_test.cpp:plain_angular
// and plain_local.
#pragma once

#include "filter_work.h"
#include "grid.h"
#include "parameters.h"
#include "transforms.h"

#include <cstdint>

struct RadiusThresholds {
    double soglia_min;  // factor of the local mean of minima_radianza
    double soglia_var;  // factor of the local mean of scarto_radianza
    double soglia_ang;  // level of the angular score
    double tolleranza;  // angle tolerance in degrees
};

RadiusThresholds thresholds_for_radius(int raggio, const VorlixParameters& p);

// Scales minima_radianza to 0..255 and scarto_radianza to 255..0 (a low
// deviation value then marks a strongly directional pixel).
void scale_transforms(RadiusTransforms& t);

// The three window tests are worked in bands of rows on up to `threads`
// threads; every pixel's test reads only the planes, so the masks are the
// same whatever the thread count.

// maschera_ang = 0 where the pixels of the window of half side Q around a
// pixel agree enough with its direction (directions 90 degrees apart agree).
// Worked on the work's threads and with its instruction set: the same mask
// for every choice.
void angular_threshold(const Grid<std::uint8_t>& direzione, int Q, double soglia_ang, double tolleranza,
                       Grid<std::uint8_t>& maschera_ang, const FilterWork& work = {});

// maschera_minrad = 0 where local mean * soglia_min > value, the local mean
// taken over the inside pixels of the window of half side h.
void minimum_radiance_threshold(const Grid<std::uint8_t>& minima_radianza, int h, double soglia_min,
                                Grid<std::uint8_t>& maschera_minrad, int threads = 1);

// maschera_varrad = 0 where local mean * soglia_var > value and value <= 199.
void radiance_deviation_threshold(const Grid<std::uint8_t>& scarto_radianza, int h, double soglia_var,
                                  Grid<std::uint8_t>& maschera_varrad, int threads = 1);

// maschera_comb = 0 where all three masks are 0, else 255.
void combine_masks(const Grid<std::uint8_t>& maschera_ang, const Grid<std::uint8_t>& maschera_minrad,
                   const Grid<std::uint8_t>& maschera_varrad, Grid<std::uint8_t>& maschera_comb);
