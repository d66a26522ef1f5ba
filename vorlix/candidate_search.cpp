#include "candidate_search.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <queue>
#include <tuple>

namespace {

double length_term(int x1, int y1, int x2, int y2)
{
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    return std::sqrt(static_cast<double>(dx * dx + dy * dy)) + 1;
}

long long squared_distance(const BorderPixel& a, const BorderPixel& b)
{
    const long long dx = a.x - b.x;
    const long long dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// Consecutive pixels of the mask that are not 255 from (x, y) + step on.
int run_from(const Grid<std::uint8_t>& mask, int x, int y, int sx, int sy)
{
    int n = 0;
    for (x += sx, y += sy; mask.contains(x, y) && mask(x, y) != 255; x += sx, y += sy) ++n;
    return n;
}

// The mean of the differences d not above ceil(2 * the mean of them all).
double asymmetry(const std::vector<int>& one_side, const std::vector<int>& other_side)
{
    const std::size_t n = one_side.size();
    long long sum = 0;
    for (std::size_t p = 0; p < n; ++p) sum += std::abs(one_side[p] - other_side[p]);
    const double asimmetria = static_cast<double>(sum) / static_cast<double>(n);
    const double limit = std::ceil(2 * asimmetria);
    long long kept_sum = 0;
    long long kept = 0;
    for (std::size_t p = 0; p < n; ++p) {
        const int d = std::abs(one_side[p] - other_side[p]);
        if (d <= limit) {
            kept_sum += d;
            ++kept;
        }
    }
    return static_cast<double>(kept_sum) / static_cast<double>(kept);
}

}  // namespace

CandidateSearch::CandidateSearch(const Grid<std::uint8_t>& immagine, const Grid<std::uint8_t>& copia_maschera,
                                 const ReachedPlane& raggiunto)
    : immagine_(immagine), copia_maschera_(copia_maschera), raggiunto_(raggiunto)
{
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

bool CandidateSearch::passes_cheap_tests(const Box& box, int a, int b) const
{
    if (!reached_[a] && !reached_[b]) return false;
    const BorderPixel& ea = estremi_[a];
    const BorderPixel& eb = estremi_[b];
    if (ea.lato == eb.lato) return false;
    return std::abs(ea.x - eb.x) * 1.2 > std::abs(box.maxX - box.minX) ||
           std::abs(ea.y - eb.y) * 1.2 > std::abs(box.maxY - box.minY);
}

bool CandidateSearch::lies_on_line(int a, int b) const
{
    const SegmentRaster raster(estremi_[a].x, estremi_[a].y, estremi_[b].x, estremi_[b].y);
    // A segment that leaves the line mostly does so away from its ends, so a
    // few inner points are looked at first; then every point.
    const int n = raster.count();
    for (int i : {n / 2, n / 4, 3 * n / 4}) {
        const Point p = raster.point(i);
        if (immagine_(p.x, p.y) == 255) return false;
    }
    for (int i = 0; i < n; ++i) {
        const Point p = raster.point(i);
        if (immagine_(p.x, p.y) == 255) return false;
    }
    return true;
}

Candidate CandidateSearch::make_candidate(int a, int b)
{
    Candidate c{};
    c.x1 = estremi_[a].x;
    c.y1 = estremi_[a].y;
    c.x2 = estremi_[b].x;
    c.y2 = estremi_[b].y;
    c.rapporto = static_cast<double>(std::abs(c.y1 - c.y2) + 1) / static_cast<double>(std::abs(c.x1 - c.x2) + 1);
    measure(c);
    return c;
}

void CandidateSearch::measure(Candidate& c)
{
    calc_punt_seg(c.x1, c.y1, c.x2, c.y2, punti_segmento_);
    const std::size_t n = punti_segmento_.size();
    double qo = 999999;
    double qv = 999999;
    if (c.rapporto > 0.5) {
        conta_destra_.resize(n);
        conta_sinistra_.resize(n);
        for (std::size_t p = 0; p < n; ++p) {
            conta_destra_[p] = run_from(copia_maschera_, punti_segmento_[p].x, punti_segmento_[p].y, 1, 0);
            conta_sinistra_[p] = run_from(copia_maschera_, punti_segmento_[p].x, punti_segmento_[p].y, -1, 0);
        }
        qo = asymmetry(conta_destra_, conta_sinistra_);
    }
    if (c.rapporto < 2) {
        conta_giu_.resize(n);
        conta_su_.resize(n);
        for (std::size_t p = 0; p < n; ++p) {
            conta_giu_[p] = run_from(copia_maschera_, punti_segmento_[p].x, punti_segmento_[p].y, 0, 1);
            conta_su_[p] = run_from(copia_maschera_, punti_segmento_[p].x, punti_segmento_[p].y, 0, -1);
        }
        qv = asymmetry(conta_giu_, conta_su_);
    }
    c.q = qo < qv ? qo : qv;
}

std::optional<CandidateSearch::Pair> CandidateSearch::first_accepted(const Box& box)
{
    const int n = static_cast<int>(estremi_.size());
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            if (passes_cheap_tests(box, a, b) && lies_on_line(a, b)) return Pair{a, b};
    return std::nullopt;
}

SearchResult CandidateSearch::search(const Box& box)
{
    list_border(box);
    SearchResult result;
    const std::optional<Pair> first = first_accepted(box);
    if (!first) return result;
    result.accepted = true;

    struct Best {
        Pair pair;
        Candidate candidate;
        double score;
        double length;
    };
    const Candidate c0 = make_candidate(first->a, first->b);
    const double score0 = c0.q - length_term(c0.x1, c0.y1, c0.x2, c0.y2) / 10;
    std::optional<Best> best;
    if (c0.q <= 1) best = Best{*first, c0, score0, length_term(c0.x1, c0.y1, c0.x2, c0.y2)};
    double bar = score0;  // no candidate scoring above it can be chosen

    // The entries of each side in list order, which is their order along
    // the side. Seen from a pixel, the entries of a side grow nearer from
    // both ends of any run of them inwards, so each (pixel, side) stream
    // yields its pairs from the longest down by two ends closing in.
    std::vector<int> side[4];
    for (int i = 0; i < static_cast<int>(estremi_.size()); ++i) side[estremi_[i].lato].push_back(i);
    struct Stream {
        int a;
        int lato;
        int lo, hi;  // the entries of the side not yet yielded
    };
    std::vector<Stream> streams;
    // Drops the ends a pair could never pass the reached test with; false
    // when the stream is exhausted.
    auto settle = [&](Stream& s) {
        if (!reached_[s.a]) {
            const std::vector<int>& entries = side[s.lato];
            while (s.lo <= s.hi && !reached_[entries[s.lo]]) ++s.lo;
            while (s.lo <= s.hi && !reached_[entries[s.hi]]) --s.hi;
        }
        return s.lo <= s.hi;
    };
    auto farther_end = [&](const Stream& s, bool& take_lo) {
        const long long d_lo = squared_distance(estremi_[s.a], estremi_[side[s.lato][s.lo]]);
        const long long d_hi = squared_distance(estremi_[s.a], estremi_[side[s.lato][s.hi]]);
        take_lo = d_lo >= d_hi;
        return take_lo ? d_lo : d_hi;
    };
    using Entry = std::pair<long long, int>;  // squared length, stream
    std::priority_queue<Entry> heap;
    bool take_lo;
    for (int a = 0; a < static_cast<int>(estremi_.size()); ++a) {
        for (int lato = 0; lato < 4; ++lato) {
            if (lato == estremi_[a].lato || side[lato].empty()) continue;
            // Only the entries after a: each pair is visited once, from its first entry.
            const std::vector<int>& entries = side[lato];
            const int lo = static_cast<int>(std::upper_bound(entries.begin(), entries.end(), a) - entries.begin());
            Stream s{a, lato, lo, static_cast<int>(entries.size()) - 1};
            if (!settle(s)) continue;
            streams.push_back(s);
            heap.push({farther_end(s, take_lo), static_cast<int>(streams.size()) - 1});
        }
    }

    while (!heap.empty()) {
        const Entry top = heap.top();
        heap.pop();
        const double length = std::sqrt(static_cast<double>(top.first)) + 1;
        if (-(length / 10) > bar) break;  // q >= 0: no pair from here on can score low enough
        Stream& s = streams[top.second];
        farther_end(s, take_lo);
        const int b = take_lo ? side[s.lato][s.lo++] : side[s.lato][s.hi--];
        const int a = s.a;
        // Along a side one coordinate difference is fixed and the other
        // only shrinks from here on: once the pair does not span the box,
        // no later pair of the stream does.
        if (!passes_cheap_tests(box, a, b)) continue;
        if (settle(s)) heap.push({farther_end(s, take_lo), top.second});

        if (a == first->a && b == first->b) continue;
        if (!lies_on_line(a, b)) continue;
        const Candidate c = make_candidate(a, b);
        const double score = c.q - length / 10;
        if (c.q > 1 || score > score0) continue;
        const bool better =
            !best || score < best->score ||
            (score == best->score &&
             (length > best->length ||
              (length == best->length && std::tie(a, b) < std::tie(best->pair.a, best->pair.b))));
        if (!better) continue;
        best = Best{Pair{a, b}, c, score, length};
        bar = score;
    }

    if (best) {
        const Candidate& c = best->candidate;
        result.chosen = SegmentChoice{c.x1, c.y1, c.x2, c.y2, c.rapporto, best->score};
    }
    return result;
}
