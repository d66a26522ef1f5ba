// A straightforward version of the line filter, written the way the
// procedure reads: every pixel samples every direction, membership tests
// search the list, every pair of border pixels is tried in list order. It is
// slow and serves as the yardstick the fast filter must match bit for bit.
#pragma once

#include "grid.h"
#include "parameters.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace reference {

struct Offsets {
    std::vector<std::vector<int>> offset_dx, offset_dy;  // [a][k]
    std::vector<int> num_offset;                         // [a]
};

Offsets direction_table(int raggio);

struct Transforms {
    Grid<std::uint8_t> direzione, minima_radianza, scarto_radianza;
    int max_min = 0, max_scarto = 0;
};

Transforms transforms(const Grid<std::uint8_t>& immagine, int raggio);

// The first stage: the accumulated mask, appending its console text.
Grid<std::uint8_t> detect_lines(const Grid<std::uint8_t>& immagine, const VorlixParameters& p,
                                std::string& console);

// The small-blob removal alone (one radius' combined mask).
void remove_small_blobs(Grid<std::uint8_t>& maschera_comb, int par_min_blob);

// The reclassification alone, with the global means taken first.
void reclassify_blobs(Grid<std::uint8_t>& maschera_comb, const Grid<std::uint8_t>& immagine,
                      const Grid<std::uint8_t>& minima_radianza, const Grid<std::uint8_t>& scarto_radianza,
                      const VorlixParameters& p);

// The three clean-up rules.
void clean_line_mask(Grid<std::uint8_t>& immagine);

// The points of calc_punt_seg, as the procedure works them in doubles.
std::vector<std::pair<int, int>> segment_points(int x1, int y1, int x2, int y2);

struct Segment {
    int x1, y1, x2, y2;
    double punteggio;
};

// The extraction from a cleaned mask, appending its console lines.
std::vector<Segment> extract_segments(Grid<std::uint8_t>& immagine, std::string& console);

// Everything from the loaded image to the closing line: the console text
// and the segments file bytes.
struct Run {
    std::string console;
    std::string segments_file;
};
Run filtra(const Grid<std::uint8_t>& immagine, const VorlixParameters& p);

}  // namespace reference
