// The candidate search of a growing line region: among the line pixels on
// the border of the region's bounding box, the pairs on two different sides
// whose straight segment spans most of the box, lies wholly on line pixels
// and runs along the middle of its line; the best of them is chosen.
#pragma once

#include "grid.h"
#include "line_neighbourhood.h"
#include "mask_runs.h"
#include "reached_plane.h"
#include "segment_raster.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
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

    // To be called whenever pixels of immagine have changed: forgets which
    // pairs were found to lie on line pixels.
    void mask_changed() { on_line_.clear(); }

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
        int a, b;  // indices into estremi_, a < b
    };
    // The pairs of entry a with the entries of one side after it, yielded
    // from the longest down.
    struct Stream {
        int a;
        int lato;
        int lo, hi;  // the entries of the side not yet yielded
        int next;    // the next stream of the same length bucket, or -1
    };

    void list_border(const Box& box);
    bool passes_cheap_tests(int a, int b) const;
    // The first pair in list order that passes every test.
    std::optional<Pair> first_accepted();
    void start_streams();
    // Drops the ends a pair could never pass the reached test with; false
    // when the stream is exhausted.
    bool settle(Stream& s) const;
    // The squared length of the stream's next pair, and which end it takes.
    long long farther_end(const Stream& s, bool& take_lo) const;
    void push_stream(int stream);
    // The q of the pair's segment when it lies wholly on line pixels.
    std::optional<double> on_line_q(int a, int b);
    double measure(int x1, int y1, int x2, int y2, double rapporto);

    const Grid<std::uint8_t>& immagine_;
    const LineNeighbourhood& near_line_;
    const MaskRuns& widths_;
    const ReachedPlane& raggiunto_;
    std::vector<BorderPixel> estremi_;
    std::vector<char> reached_;  // per entry of estremi_
    double span_x_ = 0, span_y_ = 0;
    std::vector<int> side_[4];  // the entries of each side, in list order
    std::vector<Stream> streams_;
    // Streams by the whole length of their next pair (a bucket queue: the
    // lengths only go down).
    std::vector<int> bucket_head_;
    std::size_t buckets_used_ = 0;  // the buckets of the current search
    std::vector<int> one_side_;

    // The q of the pairs found on line pixels since the mask last changed, by
    // their end points: growing boxes list many of the same pairs search
    // after search.
    struct Ends {
        int x1, y1, x2, y2;
        bool operator==(const Ends& o) const { return x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2; }
    };
    struct EndsHash {
        std::size_t operator()(const Ends& e) const;
    };
    std::unordered_map<Ends, double, EndsHash> on_line_;
};
