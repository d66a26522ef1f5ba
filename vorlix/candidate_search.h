// The candidate search of a growing line region: among the line pixels on
// the border of the region's bounding box, the pairs on two different sides
// whose straight segment spans most of the box, lies wholly on line pixels
// and runs along the middle of its line; the best of them is chosen.
//
// Plain twin: the pair search of vorlix/tests/reference_filter.cpp:
// reference::extract_segments.
#pragma once

#include "grid.h"
#include "line_neighbourhood.h"
#include "mask_runs.h"
#include "pair_memo.h"
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

// The chosen candidate of a search, as kept for the region's extraction.
struct SegmentChoice {
    int x1, y1, x2, y2;
    double rapporto;   // (|y1 - y2| + 1) / (|x1 - x2| + 1)
    double punteggio;  // q - (length + 1) / 10: lower is better
};

struct SearchResult {
    bool accepted = false;                // at least one candidate passed the tests
    std::optional<SegmentChoice> chosen;  // the choice, when one qualified
};

class CandidateSearch {
public:
    // immagine: the line mask (not 255 = line pixel), with its line
    // neighbourhood; widths: the runs of the mask the widths are measured on.
    CandidateSearch(const Grid<std::uint8_t>& immagine, const LineNeighbourhood& near_line, const MaskRuns& widths,
                    const ReachedPlane& raggiunto);

    // To be called whenever line pixels of immagine have been consumed: the
    // pairs found to lie on line pixels are walked again when next met.
    void mask_changed()
    {
        if (++mask_state_ == 0) {  // the states wrapped: no old state may match again
            on_line_.forget_all();
            mask_state_ = 1;
        }
    }

    // Runs one search over the box, with the pixels reached by the earlier
    // growths and the first `reached_count` pixels of the current one. It
    // changes nothing but this object: searches with their own objects may
    // run at once.
    //
    // The choice is the candidate of lowest score q - L / 10 among those with
    // q <= 1 and a score no worse than that of candidate 0 (the first pair
    // accepted in list order); among equal scores the longer, then the
    // earlier pair. Only candidate 0 depends on the list order, so after it
    // the pairs are visited from the longest down, and the visit ends as soon
    // as a pair's length alone (q >= 0) cannot beat the best score so far.
    //
    // Pairs are listed a cluster of border pixels at a time (where a line
    // crosses a side) and dropped when no line pixel lies near the middle of
    // the segment; what the walk along a pair's segment found is kept until
    // the mask changes, for the next searches of the growing region.
    SearchResult search(const Box& box, std::size_t reached_count);

private:
    struct Pair {
        double length;  // between the two ends
        int a, b;       // indices into estremi_, a < b
    };

    void list_border(const Box& box, std::size_t reached_count);
    // The pairs that pass the tests short of the walk along the segment and
    // have line pixels near their middle and quarter points, ordered by
    // their first entry.
    void list_pairs();
    // Whether line pixels lie near both quarter points of the segment, where
    // its first looks would find them.
    bool quarter_points_near_line(int x1, int y1, int x2, int y2) const;
    struct Cluster;
    // The same for some pair of two clusters, at the quarter nearer `near`.
    bool line_near_quarters(const Cluster& near, const Cluster& far) const;
    // Lists the pairs of two clusters on different sides that pass the
    // tests short of the walk.
    void pair_clusters(const Cluster& c1, const Cluster& c2, int spanning_dx, int spanning_dy);
    // Orders the pairs by key(pair), from 0 to keys - 1, keeping the order of
    // pairs with equal keys (a counting sort).
    template <typename Key>
    void sort_by_key(std::vector<Pair>& pairs, int keys, Key key);
    // The q of the pair's segment when it lies wholly on line pixels (its
    // middle known to be near a line pixel).
    std::optional<double> walk_and_measure(int a, int b);
    double measure(int x1, int y1, int x2, int y2, double rapporto);

    const Grid<std::uint8_t>& immagine_;
    const LineNeighbourhood& near_line_;
    const MaskRuns& widths_;
    const ReachedPlane& raggiunto_;
    std::vector<BorderPixel> estremi_;
    std::vector<int> first_side_, second_side_;  // line pixels along two opposite sides
    std::vector<char> reached_;  // per entry of estremi_
    Box box_{};
    double span_x_ = 0, span_y_ = 0;
    std::vector<Pair> pairs_, sorted_;
    std::vector<int> tally_;
    // A run of entries of one side at neighbouring pixels.
    struct Cluster {
        int lato;
        int begin, end;  // its entries in sides_[lato]
        int min_x, max_x, min_y, max_y;
        bool any_reached;
    };
    std::vector<int> sides_[4];  // the entries of each side, in list order
    std::vector<Cluster> clusters_;
    std::vector<const Cluster*> spanning_;  // of one side, reaching far enough by themselves
    std::vector<int> one_side_;

    // The q of the pairs walked (negative for a segment that leaves the line
    // pixels), by their end points: growing boxes list many of the same pairs
    // search after search, and growths through the same region list them
    // again.
    PairMemo on_line_;
    double last_left_line_ = 0.5;  // where the last walk that left the line did so, as a share of its points
    std::uint32_t mask_state_ = 1;  // counts the changes of the mask
};
