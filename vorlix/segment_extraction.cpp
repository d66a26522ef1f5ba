#include "segment_extraction.h"

#include "mask_runs.h"
#include "neighbours.h"
#include "reached_plane.h"
#include "segment_raster.h"
#include "visit_marks.h"
#include "work_items.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

class Extraction {
public:
    Extraction(Grid<std::uint8_t>& immagine, const SegmentExtracted& on_extracted, int threads)
        : immagine_(immagine),
          near_line_(immagine),
          widths_(immagine),
          raggiunto_(immagine.width(), immagine.height()),
          in_region_(immagine.width(), immagine.height()),
          threads_(std::max(1, threads)),
          on_extracted_(on_extracted)
    {
        for (int i = 0; i < threads_; ++i)
            searches_.push_back(std::make_unique<CandidateSearch>(immagine_, near_line_, widths_, raggiunto_));
        if (threads_ > 1) team_ = std::make_unique<WorkTeam>(threads_);
    }

    std::vector<ExtractedSegment> run()
    {
        for (int y = 0; y < immagine_.height(); ++y)
            for (int x = 0; x < immagine_.width(); ++x)
                if (immagine_(x, y) != 255) grow_region(x, y);
        return segmenti_estratti_;
    }

private:
    // A candidate search the growth has come to: it runs over `box` in
    // step `next`, when `reached` pixels are listed; `listed` are at the
    // end of that step.
    struct PendingSearch {
        Box box;
        std::size_t reached;
        std::size_t next;
        std::size_t listed;
    };

    void grow_region(int sx, int sy);
    void extend_box(std::size_t from, bool& grew);
    // Runs the pending searches into results_, shared out over the threads
    // when there are many.
    void run_searches();
    void mask_changed()
    {
        for (auto& search : searches_) search->mask_changed();
    }
    void extract();
    // Collects the band of a segment along rows (horizontal) or columns and
    // marks it; `band` receives the collected pixels.
    void mark_band(bool horizontal, std::vector<Point>& band);
    // A line pixel becomes 255.
    void consume(int x, int y)
    {
        immagine_(x, y) = 255;
        near_line_.consumed(x, y);
    }

    Grid<std::uint8_t>& immagine_;
    LineNeighbourhood near_line_;              // kept up to date with immagine_
    const MaskRuns widths_;                    // runs of the mask as the extraction began (copia_maschera)
    ReachedPlane raggiunto_;
    VisitMarks in_region_;                     // membership of punto
    const int threads_;
    std::vector<std::unique_ptr<CandidateSearch>> searches_;  // one per thread
    std::unique_ptr<WorkTeam> team_;                           // with more than one thread
    const SegmentExtracted& on_extracted_;

    std::vector<PendingSearch> pending_;
    std::vector<SearchResult> results_;

    std::vector<Point> punto_;
    Box box_{};
    std::vector<SegmentChoice> segmento_;
    std::vector<SegmentPoint> punti_segmento_;
    std::vector<Point> band_o_, band_v_;
    std::vector<ExtractedSegment> segmenti_estratti_;
};

void Extraction::extend_box(std::size_t from, bool& grew)
{
    for (std::size_t i = from; i < punto_.size(); ++i) {
        const Point p = punto_[i];
        if (p.x < box_.minX) box_.minX = p.x, grew = true;
        if (p.x > box_.maxX) box_.maxX = p.x, grew = true;
        if (p.y < box_.minY) box_.minY = p.y, grew = true;
        if (p.y > box_.maxY) box_.maxY = p.y, grew = true;
    }
}

namespace {

// A growth runs its searches one at a time until it has run this many; from
// then on, with more than one thread, the growth steps ahead to this many
// searches at a time, which are run at once. A search that ends the growth
// makes the steps after it undone, and the searches after it are dropped:
// each search depends only on its box and on the pixels reached before it.
constexpr std::size_t searches_one_at_a_time = 16;
constexpr std::size_t searches_at_once = 64;

}  // namespace

void Extraction::run_searches()
{
    results_.resize(pending_.size());
    if (pending_.size() == 1) {
        results_[0] = searches_[0]->search(pending_[0].box, pending_[0].reached);
        return;
    }
    // One run of consecutive searches per thread: the searches of a run
    // share most of their pairs, which the thread's search remembers.
    const std::size_t items = static_cast<std::size_t>(threads_);
    const std::size_t per_item = (pending_.size() + items - 1) / items;
    team_->run(static_cast<int>(items), [&](int item, int worker) {
        const std::size_t first = static_cast<std::size_t>(item) * per_item;
        const std::size_t last = std::min(pending_.size(), first + per_item);
        for (std::size_t k = first; k < last; ++k)
            results_[k] = searches_[static_cast<std::size_t>(worker)]->search(pending_[k].box, pending_[k].reached);
    });
}

void Extraction::grow_region(int sx, int sy)
{
    const std::uint32_t mark = in_region_.fresh();
    punto_.assign(1, Point{sx, sy});
    in_region_(sx, sy) = mark;
    raggiunto_.start_growth(immagine_.cells().size());
    raggiunto_.reach(sx, sy, 0);
    std::size_t prev = 0;
    bool fresh = false;
    bool found = false;
    bool stop = false;
    int failures = 0;
    std::size_t searched = 0;
    segmento_.clear();

    std::size_t next = 0;
    while (!stop) {
        // The steps of the growth up to its next searches.
        const std::size_t at_once = threads_ > 1 && searched >= searches_one_at_a_time ? searches_at_once : 1;
        pending_.clear();
        for (; next < punto_.size() && pending_.size() < at_once; ++next) {
            const Point c = punto_[next];
            bool grew = false;
            if (next == 0)
                box_ = Box{c.x, c.x, c.y, c.y};
            else
                extend_box(prev, grew);
            prev = punto_.size();

            const bool search_here = next > 3 && grew && fresh;
            if (search_here) pending_.push_back({box_, punto_.size(), next, 0});

            for (const NeighbourStep& s : neighbour_order) {
                const int x = c.x + s.dx;
                const int y = c.y + s.dy;
                if (!immagine_.contains(x, y) || immagine_(x, y) == 255 || in_region_(x, y) == mark) continue;
                in_region_(x, y) = mark;
                raggiunto_.reach(x, y, punto_.size());
                punto_.push_back({x, y});
                if (immagine_(x, y) == 0) fresh = true;
            }
            if (search_here) pending_.back().listed = punto_.size();
        }
        if (pending_.empty()) break;  // the whole region is listed

        run_searches();
        for (std::size_t k = 0; k < pending_.size() && !stop; ++k) {
            const SearchResult& result = results_[k];
            ++searched;
            stop = !result.accepted;
            if (result.chosen) {
                segmento_.push_back(*result.chosen);
                found = true;
                failures = 0;
            } else if (++failures > 100) {
                stop = true;
            }
            if (stop) {
                // The growth ends with the step of this search.
                const PendingSearch& last = pending_[k];
                for (std::size_t i = last.listed; i < punto_.size(); ++i)
                    raggiunto_.unreach(punto_[i].x, punto_[i].y, i);
                punto_.resize(last.listed);
                next = last.next + 1;
            }
        }
    }
    raggiunto_.end_growth(punto_.size());

    if (found) {
        extract();
    } else if (next >= punto_.size() && !fresh && immagine_(sx, sy) != 0) {
        // The whole region was listed and holds no unused pixel: no growth
        // in it can ever search, so no later seed in it can do anything.
        // Retiring it spares growing it again from each of its pixels.
        for (const Point& p : punto_) consume(p.x, p.y);
        mask_changed();
    }
}

void Extraction::mark_band(bool horizontal, std::vector<Point>& band)
{
    const int width = immagine_.width();
    const int height = immagine_.height();
    const int npts = static_cast<int>(punti_segmento_.size());
    band.clear();
    long long total = 0;
    for (SegmentPoint& p : punti_segmento_) {
        int larg = 0;
        if (horizontal) {
            for (int xx = p.x; xx < width && immagine_(xx, p.y) != 255; ++xx, ++larg) band.push_back({xx, p.y});
            for (int xx = p.x - 1; xx >= 0 && immagine_(xx, p.y) != 255; --xx, ++larg) band.push_back({xx, p.y});
            p.larg_o = larg;
        } else {
            for (int yy = p.y; yy < height && immagine_(p.x, yy) != 255; ++yy, ++larg) band.push_back({p.x, yy});
            for (int yy = p.y - 1; yy >= 0 && immagine_(p.x, yy) != 255; --yy, ++larg) band.push_back({p.x, yy});
            p.larg_v = larg;
        }
        total += larg;
    }
    const double mean = static_cast<double>(total) / npts;
    const double usual_limit = std::ceil(1.1 * mean);
    long long usual_total = 0;
    long long usual = 0;
    for (const SegmentPoint& p : punti_segmento_) {
        const int larg = horizontal ? p.larg_o : p.larg_v;
        if (larg <= usual_limit) {
            usual_total += larg;
            ++usual;
        }
    }
    const double w = static_cast<double>(usual_total) / static_cast<double>(usual);
    const double usual_width = std::ceil(w);
    const double reach = std::ceil(1.2 * w);

    // The first segment point of each row (column): the points run down the
    // rows, and monotonically along the columns.
    const int first_pos = horizontal ? punti_segmento_.front().y : std::min(punti_segmento_.front().x, punti_segmento_.back().x);
    const int last_pos = horizontal ? punti_segmento_.back().y : std::max(punti_segmento_.front().x, punti_segmento_.back().x);
    std::vector<int> first_point(last_pos - first_pos + 1, -1);
    for (int i = 0; i < npts; ++i) {
        int& slot = first_point[(horizontal ? punti_segmento_[i].y : punti_segmento_[i].x) - first_pos];
        if (slot < 0) slot = i;
    }

    for (const Point& k : band) {
        const SegmentPoint& p = punti_segmento_[first_point[(horizontal ? k.y : k.x) - first_pos]];
        std::uint8_t& value = immagine_(k.x, k.y);
        if (usual_width >= (horizontal ? p.larg_o : p.larg_v)) {
            if (horizontal || value != 200) value = 250;
            continue;
        }
        const std::uint8_t mark = value == 0 ? 200 : value == 100 ? 250 : value;
        const int distance = horizontal ? std::abs(k.x - p.x) : std::abs(k.y - p.y);
        if (mark != value && distance <= reach) value = mark;
    }
}

void Extraction::extract()
{
    std::size_t best = 0;
    for (std::size_t i = 1; i < segmento_.size(); ++i)
        if (segmento_[i].punteggio <= segmento_[best].punteggio) best = i;
    const SegmentChoice s = segmento_[best];
    const ExtractedSegment extracted{s.x1, s.y1, s.x2, s.y2, s.punteggio};
    segmenti_estratti_.push_back(extracted);
    if (on_extracted_) on_extracted_(extracted);

    calc_punt_seg(s.x1, s.y1, s.x2, s.y2, punti_segmento_);
    band_o_.clear();
    band_v_.clear();
    if (s.rapporto > 0.5) mark_band(true, band_o_);
    if (s.rapporto < 2) mark_band(false, band_v_);

    raggiunto_.clear();
    for (const std::vector<Point>* band : {&band_o_, &band_v_}) {
        for (const Point& k : *band) {
            std::uint8_t& value = immagine_(k.x, k.y);
            if (value == 200) value = 100;
            else if (value == 250) consume(k.x, k.y);
        }
    }
    mask_changed();
}

}  // namespace

std::vector<ExtractedSegment> extract_segments(Grid<std::uint8_t>& immagine, const SegmentExtracted& on_extracted,
                                               int threads)
{
    Extraction extraction(immagine, on_extracted, threads);
    return extraction.run();
}
