// The candidate search of a growing line region: among the line pixels on
// the border of the region's bounding box, the pairs on two different sides
// whose straight segment spans most of the box, lies wholly on line pixels
// and runs along the middle of its line; the best of them is chosen.
//
// Plain twin: the pair search of vorlix/tests/reference_filter.cpp:
// reference::extract_segments.
#pragma once

#include "grid.h"
#include "reached_plane.h"
#include "segment_raster.h"

#include <cstdint>
#include <optional>
#include <vector>

struct Box {
    int minX, maxX, minY, maxY;
};

// A pixel of the box border: lato 0 = top row, 1 = right column, 2 = bottom
// row, 3 = left column (a corner is listed once per side).
struct BorderPixel {
    int x, y, lato;
};

// An accepted pair: x1, y1 the entry met first in the border list.
struct Candidate {
    int x1, y1, x2, y2;
    double q;         // asymmetry of the line's extent on the two sides
    double rapporto;  // (|y1 - y2| + 1) / (|x1 - x2| + 1)
};

// The chosen candidate of a search, as kept for the region's extraction.
struct SegmentChoice {
    int x1, y1, x2, y2;
    double rapporto;
    double punteggio;  // q - (length + 1) / 10: lower is better
};

struct SearchResult {
    bool accepted = false;                // at least one candidate passed the tests
    std::optional<SegmentChoice> chosen;  // the choice, when one qualified
};

class CandidateSearch {
public:
    // immagine: the line mask (not 255 = line pixel); copia_maschera: the
    // mask the widths are measured on.
    CandidateSearch(const Grid<std::uint8_t>& immagine, const Grid<std::uint8_t>& copia_maschera,
                    const ReachedPlane& raggiunto);

    // Runs one search over the box.
    //
    // The choice is the candidate of lowest score q - L / 10 among those with
    // q <= 1 and a score no worse than that of candidate 0 (the first pair
    // accepted in list order); among equal scores the longer, then the
    // earlier pair. Only candidate 0 depends on the list order, so after it
    // the pairs are visited from the longest down, and the visit ends as soon
    // as a pair's length alone (q >= 0) cannot beat the best score so far.
    SearchResult search(const Box& box);

private:
    struct Pair {
        int a, b;  // indices into estremi, a < b
    };

    void list_border(const Box& box);
    bool passes_cheap_tests(const Box& box, int a, int b) const;
    bool lies_on_line(int a, int b) const;
    Candidate make_candidate(int a, int b);
    // The q of a candidate.
    void measure(Candidate& c);
    std::optional<Pair> first_accepted(const Box& box);

    const Grid<std::uint8_t>& immagine_;
    const Grid<std::uint8_t>& copia_maschera_;
    const ReachedPlane& raggiunto_;
    std::vector<BorderPixel> estremi_;
    std::vector<char> reached_;  // per entry of estremi_
    std::vector<SegmentPoint> punti_segmento_;
    std::vector<int> conta_destra_, conta_sinistra_, conta_giu_, conta_su_;
};
