#include "candidate_search.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace {

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

std::size_t CandidateSearch::EndsHash::operator()(const Ends& e) const
{
    std::uint64_t h = static_cast<std::uint32_t>(e.x1);
    for (int v : {e.y1, e.x2, e.y2}) h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint32_t>(v);
    return static_cast<std::size_t>(h ^ (h >> 29));
}

void CandidateSearch::list_border(const Box& box)
{
    estremi_.clear();
    for (int xx = box.minX; xx <= box.maxX; ++xx) {
        if (immagine_(xx, box.minY) != 255) estremi_.push_back({xx, box.minY, 0});
        if (immagine_(xx, box.maxY) != 255) estremi_.push_back({xx, box.maxY, 2});
    }
    for (int yy = box.minY; yy <= box.maxY; ++yy) {
        if (immagine_(box.minX, yy) != 255) estremi_.push_back({box.minX, yy, 3});
        if (immagine_(box.maxX, yy) != 255) estremi_.push_back({box.maxX, yy, 1});
    }
    reached_.resize(estremi_.size());
    for (std::size_t i = 0; i < estremi_.size(); ++i) reached_[i] = raggiunto_.reached(estremi_[i].x, estremi_[i].y);
}

inline bool CandidateSearch::passes_cheap_tests(int a, int b) const
{
    if (!reached_[a] && !reached_[b]) return false;
    const BorderPixel& ea = estremi_[a];
    const BorderPixel& eb = estremi_[b];
    if (ea.lato == eb.lato) return false;
    // The pair spans more than five sixths of the box along an axis.
    return std::abs(ea.x - eb.x) * 1.2 > span_x_ || std::abs(ea.y - eb.y) * 1.2 > span_y_;
}

std::optional<CandidateSearch::Pair> CandidateSearch::first_accepted()
{
    const int n = static_cast<int>(estremi_.size());
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            if (passes_cheap_tests(a, b) && on_line_q(a, b)) return Pair{a, b};
    return std::nullopt;
}

inline bool CandidateSearch::settle(Stream& s) const
{
    if (!reached_[s.a]) {
        const std::vector<int>& entries = side_[s.lato];
        while (s.lo <= s.hi && !reached_[entries[s.lo]]) ++s.lo;
        while (s.lo <= s.hi && !reached_[entries[s.hi]]) --s.hi;
    }
    return s.lo <= s.hi;
}

inline long long CandidateSearch::farther_end(const Stream& s, bool& take_lo) const
{
    auto squared_distance = [](const BorderPixel& p, const BorderPixel& q) {
        const long long dx = p.x - q.x;
        const long long dy = p.y - q.y;
        return dx * dx + dy * dy;
    };
    const BorderPixel& ea = estremi_[s.a];
    const long long d_lo = squared_distance(ea, estremi_[side_[s.lato][s.lo]]);
    const long long d_hi = squared_distance(ea, estremi_[side_[s.lato][s.hi]]);
    take_lo = d_lo >= d_hi;
    return take_lo ? d_lo : d_hi;
}

inline void CandidateSearch::push_stream(int stream)
{
    bool take_lo;
    const long long squared = farther_end(streams_[stream], take_lo);
    const std::size_t bucket = static_cast<std::size_t>(std::sqrt(static_cast<double>(squared)));
    if (bucket >= bucket_head_.size()) bucket_head_.resize(bucket + 1, -1);
    if (bucket + 1 > buckets_used_) buckets_used_ = bucket + 1;
    streams_[stream].next = bucket_head_[bucket];
    bucket_head_[bucket] = stream;
}

void CandidateSearch::start_streams()
{
    for (std::vector<int>& entries : side_) entries.clear();
    for (int i = 0; i < static_cast<int>(estremi_.size()); ++i) side_[estremi_[i].lato].push_back(i);
    streams_.clear();
    int after[4] = {0, 0, 0, 0};  // per side: its first entry after a
    for (int a = 0; a < static_cast<int>(estremi_.size()); ++a) {
        ++after[estremi_[a].lato];
        for (int lato = 0; lato < 4; ++lato) {
            if (lato == estremi_[a].lato || side_[lato].empty()) continue;
            // Only the entries after a: each pair is visited once, from its first entry.
            const std::vector<int>& entries = side_[lato];
            Stream s{a, lato, after[lato], static_cast<int>(entries.size()) - 1, -1};
            if (!settle(s)) continue;
            streams_.push_back(s);
            push_stream(static_cast<int>(streams_.size()) - 1);
        }
    }
}

std::optional<double> CandidateSearch::on_line_q(int a, int b)
{
    const BorderPixel& ea = estremi_[a];
    const BorderPixel& eb = estremi_[b];
    // The middle point of the segment (its first look below) lies within one
    // pixel of the middle of its ends along each axis.
    if (!near_line_.near_line((ea.x + eb.x) / 2, (ea.y + eb.y) / 2)) return std::nullopt;
    const SegmentRaster raster(ea.x, ea.y, eb.x, eb.y);
    // A segment that leaves the line mostly does so away from its ends, so a
    // few inner points are looked at first; then every point.
    const int n = raster.count();
    for (int i : {n / 2, n / 4, 3 * n / 4}) {
        const Point p = raster.point(i);
        if (immagine_(p.x, p.y) == 255) return std::nullopt;
    }
    const Ends ends{ea.x, ea.y, eb.x, eb.y};
    if (const auto known = on_line_.find(ends); known != on_line_.end()) return known->second;
    const std::uint8_t* cells = immagine_.cells().data();
    if (!raster.all_of_cells(immagine_.width(), [&](std::ptrdiff_t cell) { return cells[cell] != 255; }))
        return std::nullopt;

    const double rapporto = static_cast<double>(std::abs(ea.y - eb.y) + 1) / static_cast<double>(std::abs(ea.x - eb.x) + 1);
    const double q = measure(ea.x, ea.y, eb.x, eb.y, rapporto);
    on_line_.emplace(ends, q);
    return q;
}

double CandidateSearch::measure(int x1, int y1, int x2, int y2, double rapporto)
{
    // How far the line extends on either side of each point, from the widths
    // of the mask: |conta_destra - conta_sinistra| along the rows,
    // |conta_giu - conta_su| along the columns.
    const SegmentRaster raster(x1, y1, x2, y2);
    const std::ptrdiff_t width = immagine_.width();
    double qo = 999999;
    double qv = 999999;
    one_side_.resize(static_cast<std::size_t>(raster.count()));
    int* d = one_side_.data();
    if (rapporto > 0.5) {
        raster.all_of_cells(width, [&](std::ptrdiff_t cell) {
            const std::size_t c = static_cast<std::size_t>(cell);
            *d++ = std::abs(widths_.right(c) - widths_.left(c));
            return true;
        });
        qo = asymmetry(one_side_);
    }
    d = one_side_.data();
    if (rapporto < 2) {
        raster.all_of_cells(width, [&](std::ptrdiff_t cell) {
            const std::size_t c = static_cast<std::size_t>(cell);
            *d++ = std::abs(widths_.down(c) - widths_.up(c));
            return true;
        });
        qv = asymmetry(one_side_);
    }
    return qo < qv ? qo : qv;
}

SearchResult CandidateSearch::search(const Box& box)
{
    list_border(box);
    span_x_ = std::abs(box.maxX - box.minX);
    span_y_ = std::abs(box.maxY - box.minY);
    SearchResult result;
    const std::optional<Pair> first = first_accepted();
    if (!first) return result;
    result.accepted = true;

    struct Best {
        int a, b;
        double q;
        double score;
        double length;
    };
    const BorderPixel& e1 = estremi_[first->a];
    const BorderPixel& e2 = estremi_[first->b];
    const double q0 = *on_line_q(first->a, first->b);
    const double length0 = length_term(e1.x, e1.y, e2.x, e2.y);
    const double score0 = q0 - length0 / 10;
    std::optional<Best> best;
    if (q0 <= 1) best = Best{first->a, first->b, q0, score0, length0};
    double bar = score0;  // no candidate scoring above it can be chosen

    // The pairs from the longest down, a bucket of whole lengths at a time:
    // within a bucket the order does not matter, the choice below being a
    // strict order, as long as no pair that may still score low enough is
    // passed over.
    buckets_used_ = 0;
    start_streams();
    for (std::size_t bucket = buckets_used_; bucket-- > 0;) {
        // The pairs of this bucket and below are shorter than bucket + 2.
        if (-((static_cast<double>(bucket) + 2) / 10) > bar) break;
        while (bucket_head_[bucket] >= 0) {
            const int stream = bucket_head_[bucket];
            Stream& s = streams_[stream];
            bucket_head_[bucket] = s.next;
            bool take_lo;
            const long long squared = farther_end(s, take_lo);
            const int a = s.a;
            const int b = take_lo ? side_[s.lato][s.lo++] : side_[s.lato][s.hi--];
            // Along a side one coordinate difference is fixed and the other
            // only shrinks from here on: once the pair does not span the box,
            // no later pair of the stream does.
            if (!passes_cheap_tests(a, b)) continue;
            if (settle(s)) push_stream(stream);

            const double length = std::sqrt(static_cast<double>(squared)) + 1;
            if (-(length / 10) > bar) continue;  // q >= 0: it cannot score low enough
            if (a == first->a && b == first->b) continue;
            const std::optional<double> q = on_line_q(a, b);
            if (!q) continue;
            const double score = *q - length / 10;
            if (*q > 1 || score > score0) continue;
            const bool better =
                !best || score < best->score ||
                (score == best->score &&
                 (length > best->length || (length == best->length && std::tie(a, b) < std::tie(best->a, best->b))));
            if (!better) continue;
            best = Best{a, b, *q, score, length};
            bar = score;
        }
    }
    std::fill(bucket_head_.begin(), bucket_head_.begin() + static_cast<std::ptrdiff_t>(buckets_used_), -1);

    if (best) {
        const BorderPixel& ea = estremi_[best->a];
        const BorderPixel& eb = estremi_[best->b];
        const double rapporto =
            static_cast<double>(std::abs(ea.y - eb.y) + 1) / static_cast<double>(std::abs(ea.x - eb.x) + 1);
        result.chosen = SegmentChoice{ea.x, ea.y, eb.x, eb.y, rapporto, best->score};
    }
    return result;
}
