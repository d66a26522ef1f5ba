#include "candidate_search.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <tuple>

namespace {

// Noted for a pair whose segment leaves the line pixels (a q is never negative).
constexpr double off_line = -1;

double length_term(int x1, int y1, int x2, int y2)
{
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    return std::sqrt(static_cast<double>(dx * dx + dy * dy)) + 1;
}

// The mean of the differences d not above ceil(2 * the mean of them all).
double asymmetry(const std::vector<int>& differences)
{
    const std::size_t n = differences.size();
    long long sum = 0;
    for (int d : differences) sum += d;
    const double asimmetria = static_cast<double>(sum) / static_cast<double>(n);
    const double limit = std::ceil(2 * asimmetria);
    long long kept_sum = 0;
    long long kept = 0;
    for (int d : differences) {
        if (d <= limit) {
            kept_sum += d;
            ++kept;
        }
    }
    return static_cast<double>(kept_sum) / static_cast<double>(kept);
}

}  // namespace

CandidateSearch::CandidateSearch(const Grid<std::uint8_t>& immagine, const LineNeighbourhood& near_line,
                                 const MaskRuns& widths, const ReachedPlane& raggiunto)
    : immagine_(immagine), near_line_(near_line), widths_(widths), raggiunto_(raggiunto)
{
}

void CandidateSearch::list_border(const Box& box, std::size_t reached_count)
{
    // Along the rows the top and bottom entries alternate by column, along
    // the columns the left and right ones by row.
    auto merge = [&](const std::vector<int>& first, const std::vector<int>& second, int lato_first, int lato_second,
                     auto make) {
        std::size_t i = 0, j = 0;
        while (i < first.size() || j < second.size()) {
            if (j == second.size() || (i < first.size() && first[i] <= second[j]))
                estremi_.push_back(make(first[i++], lato_first));
            else
                estremi_.push_back(make(second[j++], lato_second));
        }
    };
    estremi_.clear();
    near_line_.line_in_row(box.minY, box.minX, box.maxX, [&](int x) { first_side_.push_back(x); });
    near_line_.line_in_row(box.maxY, box.minX, box.maxX, [&](int x) { second_side_.push_back(x); });
    merge(first_side_, second_side_, 0, 2, [&](int x, int lato) { return BorderPixel{x, lato == 0 ? box.minY : box.maxY, lato}; });
    first_side_.clear();
    second_side_.clear();
    near_line_.line_in_column(box.minX, box.minY, box.maxY, [&](int y) { first_side_.push_back(y); });
    near_line_.line_in_column(box.maxX, box.minY, box.maxY, [&](int y) { second_side_.push_back(y); });
    merge(first_side_, second_side_, 3, 1, [&](int y, int lato) { return BorderPixel{lato == 3 ? box.minX : box.maxX, y, lato}; });
    first_side_.clear();
    second_side_.clear();
    reached_.resize(estremi_.size());
    for (std::size_t i = 0; i < estremi_.size(); ++i) reached_[i] = raggiunto_.reached_before(estremi_[i].x, estremi_[i].y, reached_count);
}

namespace {

// The least whole d >= 0 with d * 1.2 > span in doubles (the test is
// monotone in d).
int least_spanning(double span)
{
    int d = std::max(0, static_cast<int>(span / 1.2) - 1);
    while (!(d * 1.2 > span)) ++d;
    while (d > 0 && (d - 1) * 1.2 > span) --d;
    return d;
}

}  // namespace

// walk_and_measure first looks at the points n / 4 and 3n / 4 of the n
// points of a segment. Along the major axis, of length d = n - 1, they lie
// between half a pixel before and three quarters after the points a quarter
// and three quarters of the way (from either end, the two being the same
// pair of places); across it their rounding adds half a pixel to at most
// three quarters of the slope's: 1.25 in all. Rounding the quarter points
// down moves them by less than one more, so each look lies within two pixels
// of one of the rounded quarter points along each axis.
bool CandidateSearch::quarter_points_near_line(int x1, int y1, int x2, int y2) const
{
    return near_line_.near_line_2((3 * x1 + x2) / 4, (3 * y1 + y2) / 4) &&
           near_line_.near_line_2((x1 + 3 * x2) / 4, (y1 + 3 * y2) / 4);
}

// Whether a line pixel lies within two pixels of the rounded quarter point
// nearer `near` of some pair of the two clusters.
bool CandidateSearch::line_near_quarters(const Cluster& near, const Cluster& far) const
{
    return near_line_.line_in_rectangle((3 * near.min_x + far.min_x) / 4 - 2, (3 * near.min_y + far.min_y) / 4 - 2,
                                        (3 * near.max_x + far.max_x) / 4 + 2, (3 * near.max_y + far.max_y) / 4 + 2);
}

void CandidateSearch::pair_clusters(const Cluster& c1, const Cluster& c2, int spanning_dx, int spanning_dy)
{
    const BorderPixel* entries = estremi_.data();
    const char* reached = reached_.data();
    if (!c1.any_reached && !c2.any_reached) return;
    // The farthest the pairs of the two clusters reach along each axis.
    const int most_dx = std::max(std::abs(c1.max_x - c2.min_x), std::abs(c2.max_x - c1.min_x));
    const int most_dy = std::max(std::abs(c1.max_y - c2.min_y), std::abs(c2.max_y - c1.min_y));
    if (most_dx < spanning_dx && most_dy < spanning_dy) return;
    // The middle points of the segments (the first look of
    // walk_and_measure) lie within one pixel of the middles of their ends
    // along each axis, rounded down; those lie in this rectangle. With no
    // line pixel within one pixel of it, no segment between the clusters
    // lies on line pixels. The same for the quarter points, within two
    // pixels (see quarter_points_near_line).
    const int from_x = (c1.min_x + c2.min_x) / 2;
    const int to_x = (c1.max_x + c2.max_x) / 2;
    const int from_y = (c1.min_y + c2.min_y) / 2;
    const int to_y = (c1.max_y + c2.max_y) / 2;
    if (!near_line_.line_in_rectangle(from_x - 1, from_y - 1, to_x + 1, to_y + 1)) return;
    if (!line_near_quarters(c1, c2) || !line_near_quarters(c2, c1)) return;

    for (int k1 = c1.begin; k1 < c1.end; ++k1) {
        const int i1 = sides_[c1.lato][k1];
        const BorderPixel e1 = entries[i1];
        for (int k2 = c2.begin; k2 < c2.end; ++k2) {
            const int i2 = sides_[c2.lato][k2];
            if (!reached[i1] && !reached[i2]) continue;
            const BorderPixel e2 = entries[i2];
            const int dx = std::abs(e1.x - e2.x);
            const int dy = std::abs(e1.y - e2.y);
            if (dx < spanning_dx && dy < spanning_dy) continue;
            if (!near_line_.near_line((e1.x + e2.x) / 2, (e1.y + e2.y) / 2)) continue;
            if (!quarter_points_near_line(e1.x, e1.y, e2.x, e2.y)) continue;
            const double squared = static_cast<double>(static_cast<long long>(dx) * dx +
                                                       static_cast<long long>(dy) * dy);
            pairs_.push_back({std::sqrt(squared), std::min(i1, i2), std::max(i1, i2)});
        }
    }
}

void CandidateSearch::list_pairs()
{
    pairs_.clear();
    // The pair spans more than five sixths of the box along an axis.
    const int spanning_dx = least_spanning(span_x_);
    const int spanning_dy = least_spanning(span_y_);
    const BorderPixel* entries = estremi_.data();
    const char* reached = reached_.data();

    // The entries of each side in list order, which is their order along
    // the side, cut into clusters of neighbouring pixels (where a line
    // crosses the side).
    for (std::vector<int>& side : sides_) side.clear();
    for (int i = 0; i < static_cast<int>(estremi_.size()); ++i) sides_[entries[i].lato].push_back(i);
    clusters_.clear();
    for (int lato = 0; lato < 4; ++lato) {
        const std::vector<int>& side = sides_[lato];
        for (std::size_t k = 0; k < side.size();) {
            Cluster c{lato, static_cast<int>(k), static_cast<int>(k) + 1, entries[side[k]].x, entries[side[k]].x,
                      entries[side[k]].y, entries[side[k]].y, reached[side[k]] != 0};
            for (++k; k < side.size(); ++k) {
                const BorderPixel& e = entries[side[k]];
                if (std::abs(e.x - c.max_x) + std::abs(e.y - c.max_y) != 1) break;
                c.max_x = e.x;
                c.max_y = e.y;
                c.any_reached = c.any_reached || reached[side[k]];
                c.end = static_cast<int>(k) + 1;
            }
            clusters_.push_back(c);
        }
    }

    // The clusters of each side are consecutive in clusters_.
    int side_begin[5] = {0, 0, 0, 0, 0};
    for (const Cluster& c : clusters_) ++side_begin[c.lato + 1];
    for (int lato = 0; lato < 4; ++lato) side_begin[lato + 1] += side_begin[lato];
    // The row or column each side lies on.
    const int side_line[4] = {box_.minY, box_.maxX, box_.maxY, box_.minX};
    for (int lato1 = 0; lato1 < 4; ++lato1) {
        for (int lato2 = lato1 + 1; lato2 < 4; ++lato2) {
            const Cluster* first1 = clusters_.data() + side_begin[lato1];
            const Cluster* last1 = clusters_.data() + side_begin[lato1 + 1];
            const Cluster* first2 = clusters_.data() + side_begin[lato2];
            const Cluster* last2 = clusters_.data() + side_begin[lato2 + 1];
            auto pair_with = [&](const Cluster& c1, const Cluster* from, const Cluster* to) {
                for (const Cluster* c2 = from; c2 != to; ++c2) pair_clusters(c1, *c2, spanning_dx, spanning_dy);
            };
            if ((lato1 + lato2) % 2 == 0) {  // opposite sides
                for (const Cluster* c1 = first1; c1 != last1; ++c1) pair_with(*c1, first2, last2);
                continue;
            }
            // Two sides that meet at a corner: a pair spans the box when
            // either of its clusters reaches far enough from the other
            // side's line, along that line.
            auto spans = [&](const Cluster& c) {
                const int other_line = side_line[c.lato == lato1 ? lato2 : lato1];
                if (c.lato % 2 == 0)  // a row: how far from the column
                    return std::max(std::abs(c.min_x - other_line), std::abs(c.max_x - other_line)) >= spanning_dx;
                return std::max(std::abs(c.min_y - other_line), std::abs(c.max_y - other_line)) >= spanning_dy;
            };
            spanning_.clear();
            for (const Cluster* c2 = first2; c2 != last2; ++c2)
                if (spans(*c2)) spanning_.push_back(c2);
            for (const Cluster* c1 = first1; c1 != last1; ++c1) {
                if (spans(*c1)) {
                    pair_with(*c1, first2, last2);
                } else {
                    for (const Cluster* c2 : spanning_) pair_clusters(*c1, *c2, spanning_dx, spanning_dy);
                }
            }
        }
    }
    // By a; the pairs of one a are put in order of b as they are needed.
    sort_by_key(pairs_, static_cast<int>(estremi_.size()), [](const Pair& p) { return p.a; });
}

template <typename Key>
void CandidateSearch::sort_by_key(std::vector<Pair>& pairs, int keys, Key key)
{
    tally_.assign(static_cast<std::size_t>(keys) + 1, 0);
    for (const Pair& p : pairs) ++tally_[key(p) + 1];
    for (int k = 1; k <= keys; ++k) tally_[k] += tally_[k - 1];
    sorted_.resize(pairs.size());
    for (const Pair& p : pairs) sorted_[tally_[key(p)]++] = p;
    pairs.swap(sorted_);
}

std::optional<double> CandidateSearch::walk_and_measure(int a, int b)
{
    const BorderPixel& ea = estremi_[a];
    const BorderPixel& eb = estremi_[b];
    const SegmentRaster raster(ea.x, ea.y, eb.x, eb.y);
    // A segment that leaves the line mostly does so away from its ends, so a
    // few inner points are looked at first (before the memo, which only
    // needs to know the segments that pass them).
    const int n = raster.count();
    const std::size_t width = static_cast<std::size_t>(immagine_.width());
    for (int i : {n / 2, n / 4, 3 * n / 4}) {
        const Point p = raster.point(i);
        if (!near_line_.is_line(static_cast<std::size_t>(p.y) * width + static_cast<std::size_t>(p.x)))
            return std::nullopt;
    }
    // Line pixels only ever become background: a segment that left the line
    // pixels always will, and one that lay on them still does unless pixels
    // were consumed since. Its q, from the widths of the mask as the
    // extraction began, never changes.
    const SegmentEnds ends{ea.x, ea.y, eb.x, eb.y};
    const std::optional<PairMemo::Known> known = on_line_.find(ends);
    if (known && known->value < 0) return std::nullopt;
    if (known && known->confirmed == mask_state_) return known->value;

    // Pairs walked one after another mostly share an end and leave the line
    // at about the same place: that is looked at before the whole walk.
    const int again = static_cast<int>(last_left_line_ * n);
    const Point p = raster.point(std::min(again, n - 1));
    bool on_line = near_line_.is_line(static_cast<std::size_t>(p.y) * width + static_cast<std::size_t>(p.x));
    if (on_line) {
        int walked = 0;
        on_line = raster.all_of_cells(static_cast<std::ptrdiff_t>(width), [&](std::ptrdiff_t cell) {
            ++walked;
            return near_line_.is_line(static_cast<std::size_t>(cell));
        });
        if (!on_line) last_left_line_ = static_cast<double>(walked - 1) / n;
    }
    if (!on_line) {
        on_line_.insert(ends, off_line, mask_state_);
        return std::nullopt;
    }
    double q = 0;
    if (known) {
        q = known->value;
    } else {
        const double rapporto =
            static_cast<double>(std::abs(ea.y - eb.y) + 1) / static_cast<double>(std::abs(ea.x - eb.x) + 1);
        q = measure(ea.x, ea.y, eb.x, eb.y, rapporto);
    }
    on_line_.insert(ends, q, mask_state_);
    return q;
}

double CandidateSearch::measure(int x1, int y1, int x2, int y2, double rapporto)
{
    // How unevenly the line extends on the two sides of each point, from the
    // widths of the mask: |conta_destra - conta_sinistra| along the rows,
    // |conta_giu - conta_su| along the columns.
    const SegmentRaster raster(x1, y1, x2, y2);
    const std::ptrdiff_t width = immagine_.width();
    double qo = 999999;
    double qv = 999999;
    one_side_.resize(static_cast<std::size_t>(raster.count()));
    if (rapporto > 0.5) {
        int* d = one_side_.data();
        raster.all_of_cells(width, [&](std::ptrdiff_t cell) {
            *d++ = widths_.across_row(static_cast<std::size_t>(cell));
            return true;
        });
        qo = asymmetry(one_side_);
    }
    if (rapporto < 2) {
        int* d = one_side_.data();
        raster.all_of_cells(width, [&](std::ptrdiff_t cell) {
            *d++ = widths_.across_column(static_cast<std::size_t>(cell));
            return true;
        });
        qv = asymmetry(one_side_);
    }
    return qo < qv ? qo : qv;
}

SearchResult CandidateSearch::search(const Box& box, std::size_t reached_count)
{
    box_ = box;
    list_border(box, reached_count);
    span_x_ = std::abs(box.maxX - box.minX);
    span_y_ = std::abs(box.maxY - box.minY);
    list_pairs();
    SearchResult result;
    // Candidate 0: the first pair in list order (by a, then b) that passes
    // every test.
    std::size_t first = 0;
    std::optional<double> q0;
    for (std::size_t group_end = 0; first < pairs_.size() && !q0; ++first) {
        if (first == group_end) {
            while (group_end < pairs_.size() && pairs_[group_end].a == pairs_[first].a) ++group_end;
            std::sort(pairs_.begin() + static_cast<std::ptrdiff_t>(first),
                      pairs_.begin() + static_cast<std::ptrdiff_t>(group_end),
                      [](const Pair& p, const Pair& q) { return p.b < q.b; });
        }
        q0 = walk_and_measure(pairs_[first].a, pairs_[first].b);
    }
    if (!q0) return result;
    result.accepted = true;
    const Pair first_pair = pairs_[first - 1];

    struct Best {
        int a, b;
        double score;
        double length;
    };
    const BorderPixel& e1 = estremi_[first_pair.a];
    const BorderPixel& e2 = estremi_[first_pair.b];
    const double length0 = length_term(e1.x, e1.y, e2.x, e2.y);
    const double score0 = *q0 - length0 / 10;
    std::optional<Best> best;
    if (*q0 <= 1) best = Best{first_pair.a, first_pair.b, score0, length0};
    double bar = score0;  // no candidate scoring above it can be chosen

    // The pairs from the longest down, a whole length at a time: within one
    // the order does not matter, the choice below being a strict order, as
    // long as no pair that may still score low enough is passed over.
    auto whole_length = [](const Pair& p) { return static_cast<int>(p.length); };
    int longest = 0;
    int shortest = std::numeric_limits<int>::max();
    for (const Pair& p : pairs_) {
        longest = std::max(longest, whole_length(p));
        shortest = std::min(shortest, whole_length(p));
    }
    sort_by_key(pairs_, longest - shortest + 1, [&](const Pair& p) { return longest - whole_length(p); });
    for (std::size_t k = 0; k < pairs_.size(); ++k) {
        const Pair& pair = pairs_[k];
        const double length = pair.length + 1;
        if (-(length / 10) > bar) {  // q >= 0: it cannot score low enough
            // Nor can any pair from here on, all shorter than its whole length + 2.
            if (-((whole_length(pair) + 2.0) / 10) > bar) break;
            continue;
        }
        const int a = pair.a;
        const int b = pair.b;
        if (a == first_pair.a && b == first_pair.b) continue;
        const std::optional<double> q = walk_and_measure(a, b);
        if (!q) continue;
        const double score = *q - length / 10;
        if (*q > 1 || score > score0) continue;
        const bool better =
            !best || score < best->score ||
            (score == best->score &&
             (length > best->length || (length == best->length && std::tie(a, b) < std::tie(best->a, best->b))));
        if (!better) continue;
        best = Best{a, b, score, length};
        bar = score;
    }

    if (best) {
        const BorderPixel& ea = estremi_[best->a];
        const BorderPixel& eb = estremi_[best->b];
        const double rapporto =
            static_cast<double>(std::abs(ea.y - eb.y) + 1) / static_cast<double>(std::abs(ea.x - eb.x) + 1);
        result.chosen = SegmentChoice{ea.x, ea.y, eb.x, eb.y, rapporto, best->score};
    }
    return result;
}
