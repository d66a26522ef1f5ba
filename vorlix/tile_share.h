// A run of the filter on one tile of a larger image. Two of the filter's
// steps use statistics of the whole image: the scaling of each radius'
// transforms (their largest values) and the blob reclassification (the means
// over the candidate pixels). A tile run takes the whole image's values from
// a statistics file, and measures its own share of them over its core (the
// pixels it answers for), so that the shares of all tiles add up to the whole
// image's values.
#pragma once

#include "blob_passes.h"
#include "grid.h"
#include "transforms.h"

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

// The whole image's statistics of one radius, or a share of them. The sums
// are whole numbers, so shares add up exactly; has_sums is false in a file
// that gives the largest values alone.
struct RadiusStatistics {
    int raggio = 0;
    int max_min = 0;     // largest minima_radianza before scaling
    int max_scarto = 0;  // largest scarto_radianza before scaling
    bool has_sums = false;
    long long count = 0;      // candidate pixels after the small blobs are dropped
    long long source = 0;     // their sums of immagine,
    long long minimum = 0;    // of scaled minima_radianza
    long long deviation = 0;  // and of scaled scarto_radianza
};

struct PixelWindow {
    int x = 0, y = 0, width = 0, height = 0;  // top-left pixel (row 0 at the top) and size
};

struct TileShare {
    std::optional<PixelWindow> core;       // where the share is measured (none: not measured)
    std::vector<RadiusStatistics> given;   // the whole image's (empty: the image's own apply)
    std::vector<RadiusStatistics> measured;  // the core's share, one entry per radius worked

    // Before the scaling: notes the core's largest values, then puts the
    // whole image's in place of the tile's when they are given.
    void take_maxima(RadiusTransforms& t);
    // After the small blobs are dropped: notes the core's sums; returns the
    // whole image's means when their sums are given, else `own`.
    GlobalMeans take_means(int raggio, const Grid<std::uint8_t>& maschera_comb, const Grid<std::uint8_t>& immagine,
                           const RadiusTransforms& t, const GlobalMeans& own);
};

// "X,Y,W,H" with X, Y >= 0 and W, H >= 1; none when the text is anything else.
std::optional<PixelWindow> parse_pixel_window(const std::string& text);

// The statistics file: one line per radius, "raggio max_min max_scarto" and,
// when the sums are known, "count source minimum deviation" after them. An
// unreadable or malformed file gives none and the reason in `problem`.
std::optional<std::vector<RadiusStatistics>> read_statistics(const std::string& path, std::string& problem);
std::error_code write_statistics(const std::string& path, const std::vector<RadiusStatistics>& statistics);
