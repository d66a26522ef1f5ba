#include "colour_merge.h"

#include "blob_search.h"
#include "seam_join.h"
#include "tile_shapes.h"
#include "work_window.h"

#include <algorithm>
#include <map>
#include <memory>
#include <numeric>
#include <stdexcept>
#include <unordered_map>

namespace {

constexpr std::int32_t none = -1;

// A record of one tile, or a blob joined from records of several tiles.
struct Item {
    std::int32_t tile = none;    // a tile's record: its tile and place
    std::int64_t offset = 0;
    std::int32_t parts = 0, points = 0, outer_points = 0;
    std::int32_t joined = none;  // a joined blob: its index in `joins`
    Corner lowest;               // record order
    Corner first;                // first corner of the outer ring: the pixel it stands at is the blob's
    std::int32_t part_of = none; // a tile's piece of a joined blob: the blob's item
    std::int32_t inside = none;  // an island of the item whose hole holds it
};

struct Join {
    std::vector<std::int32_t> pieces;  // items
    std::vector<EdgeRing> rings;           // outer ring, then the new holes
};

struct Hole {
    std::int32_t item;
    const EdgeRing* ring;
    std::int64_t area;
    Corner low, high;  // box
    std::shared_ptr<RingIndex> index;  // for long rings
};

class UnionFind {
public:
    explicit UnionFind(std::size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), 0); }
    std::size_t find(std::size_t a)
    {
        while (parent_[a] != a) a = parent_[a] = parent_[parent_[a]];
        return a;
    }
    void unite(std::size_t a, std::size_t b) { parent_[find(a)] = find(b); }

private:
    std::vector<std::size_t> parent_;
};

struct Interval {
    std::int32_t low, high;
    std::size_t piece;
};

class ColourMerge {
public:
    ColourMerge(const TiledRun& run, std::int32_t colour) : run_(run), colour_(colour)
    {
        vertical_seam_.assign(static_cast<std::size_t>(run.width) + 1, false);
        horizontal_seam_.assign(static_cast<std::size_t>(run.height) + 1, false);
        for (const TilePlan& tile : run.tiles) {
            if (tile.x0 > 0) vertical_seam_[tile.x0] = true;
            const int bottom = tile.bottom(run.height);
            if (bottom > 0) horizontal_seam_[bottom] = true;
        }
    }

    std::optional<ShapefileProblem> write(const ShapefilePaths& out, const ShapefileOptions& options);

private:
    bool on_seam(const Corner& a, const Corner& b) const
    {
        return (a.x == b.x && vertical_seam_[a.x]) || (a.y == b.y && horizontal_seam_[a.y]);
    }
    TileShapes& shapes(std::int32_t tile);
    void read_tiles();
    void join_cut_blobs();
    void find_islands();
    std::vector<EdgeRing> rings_of(const Item& item);
    void add_rings(std::int32_t item, std::vector<EdgeRing>& rings);
    void add_island_rings(std::int32_t item, std::vector<EdgeRing>& rings);
    RecordSize size_of(std::int32_t item);

    const TiledRun& run_;
    std::int32_t colour_;
    std::vector<bool> vertical_seam_, horizontal_seam_;
    std::map<std::int32_t, std::unique_ptr<TileShapes>> open_;
    std::vector<Item> items_;
    std::vector<std::int32_t> cut_;    // items with an edge on a seam
    std::vector<EdgeRing> cut_outer_;      // their outer rings
    std::vector<Join> joins_;
    std::vector<std::vector<std::int32_t>> islands_;  // per item
};

TileShapes& ColourMerge::shapes(std::int32_t tile)
{
    auto& slot = open_[tile];
    if (!slot) {
        const TilePlan& plan = run_.tiles[static_cast<std::size_t>(tile)];
        std::size_t index = 0;
        while (index < plan.census.size() && plan.census[index].colour != colour_) ++index;
        slot = std::make_unique<TileShapes>(plan.shapes(index) + ".shp", plan.left(), plan.bottom(run_.height));
    }
    return *slot;
}

void ColourMerge::read_tiles()
{
    std::vector<EdgeRing> rings;
    for (std::size_t t = 0; t < run_.tiles.size(); ++t) {
        const TilePlan& plan = run_.tiles[t];
        if (std::none_of(plan.census.begin(), plan.census.end(),
                         [&](const CensusEntry& e) { return e.colour == colour_; }))
            continue;
        TileShapes& tile = shapes(static_cast<std::int32_t>(t));
        if (!tile.opened()) throw std::runtime_error("cannot read the shapefile of a colour of the tile " + plan.folder);
        while (!tile.at_end()) {
            Item item;
            item.tile = static_cast<std::int32_t>(t);
            item.offset = tile.next();
            if (!tile.read(rings)) throw std::runtime_error("unreadable shapefile in the tile " + plan.folder);
            if (rings.empty() || rings[0].size() < 5) throw std::runtime_error("a record without its outer ring");
            item.parts = static_cast<std::int32_t>(rings.size());
            for (const EdgeRing& ring : rings) item.points += static_cast<std::int32_t>(ring.size());
            item.outer_points = static_cast<std::int32_t>(rings[0].size());
            item.lowest = lowest_corner(rings[0]);
            item.first = rings[0][0];
            const EdgeRing& outer = rings[0];
            bool cut = false;
            for (std::size_t i = 0; i + 1 < outer.size() && !cut; ++i) cut = on_seam(outer[i], outer[i + 1]);
            if (cut) {
                cut_.push_back(static_cast<std::int32_t>(items_.size()));
                cut_outer_.push_back(std::move(rings[0]));
            }
            items_.push_back(item);
        }
    }
}

void ColourMerge::join_cut_blobs()
{
    // Pieces meet where their runs along one seam line share a point.
    std::map<std::int32_t, std::vector<Interval>> vertical, horizontal;
    for (std::size_t p = 0; p < cut_.size(); ++p) {
        const EdgeRing& ring = cut_outer_[p];
        for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
            const Corner& a = ring[i];
            const Corner& b = ring[i + 1];
            if (a.x == b.x && vertical_seam_[a.x]) vertical[a.x].push_back({std::min(a.y, b.y), std::max(a.y, b.y), p});
            if (a.y == b.y && horizontal_seam_[a.y])
                horizontal[a.y].push_back({std::min(a.x, b.x), std::max(a.x, b.x), p});
        }
    }
    UnionFind pieces(cut_.size());
    for (auto* lines : {&vertical, &horizontal})
        for (auto& [line, intervals] : *lines) {
            std::sort(intervals.begin(), intervals.end(),
                      [](const Interval& a, const Interval& b) { return a.low < b.low; });
            const Interval* reach = nullptr;
            for (const Interval& interval : intervals) {
                if (reach && interval.low <= reach->high) pieces.unite(interval.piece, reach->piece);
                if (!reach || interval.high > reach->high) reach = &interval;
            }
        }

    std::map<std::size_t, std::vector<std::size_t>> blobs;
    for (std::size_t p = 0; p < cut_.size(); ++p) blobs[pieces.find(p)].push_back(p);
    for (const auto& [root, members] : blobs) {
        if (members.size() < 2) continue;  // a blob that only touches a seam
        Join join;
        std::vector<const EdgeRing*> outer;
        for (const std::size_t p : members) {
            join.pieces.push_back(cut_[p]);
            outer.push_back(&cut_outer_[p]);
        }
        join.rings = join_pieces(outer, [this](const Corner& a, const Corner& b) { return on_seam(a, b); });
        Item item;
        item.joined = static_cast<std::int32_t>(joins_.size());
        item.lowest = lowest_corner(join.rings[0]);
        item.first = join.rings[0][0];
        const auto index = static_cast<std::int32_t>(items_.size());
        for (const std::int32_t piece : join.pieces) items_[piece].part_of = index;
        items_.push_back(item);
        joins_.push_back(std::move(join));
    }
    cut_outer_.clear();
    cut_outer_.shrink_to_fit();
}

void ColourMerge::find_islands()
{
    std::vector<Hole> holes;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].joined == none) continue;
        const Join& join = joins_[items_[i].joined];
        for (std::size_t r = 1; r < join.rings.size(); ++r) {
            Hole hole{static_cast<std::int32_t>(i), &join.rings[r], -twice_area(join.rings[r]), join.rings[r][0],
                      join.rings[r][0], nullptr};
            for (const Corner& c : join.rings[r]) {
                hole.low = Corner{std::min(hole.low.x, c.x), std::min(hole.low.y, c.y)};
                hole.high = Corner{std::max(hole.high.x, c.x), std::max(hole.high.y, c.y)};
            }
            if (join.rings[r].size() > 256) hole.index = std::make_shared<RingIndex>(join.rings[r]);
            holes.push_back(hole);
        }
    }
    islands_.assign(items_.size(), {});
    if (holes.empty()) return;
    // Holes by the squares of `bucket` pixels their boxes cover, so that
    // each blob meets only the holes around its first pixel.
    constexpr std::int32_t bucket = 256;
    auto bucket_key = [](std::int32_t bx, std::int32_t by) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(bx)) << 32) | static_cast<std::uint32_t>(by);
    };
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> buckets;
    for (std::size_t h = 0; h < holes.size(); ++h)
        for (std::int32_t bx = holes[h].low.x / bucket; bx <= holes[h].high.x / bucket; ++bx)
            for (std::int32_t by = holes[h].low.y / bucket; by <= holes[h].high.y / bucket; ++by)
                buckets[bucket_key(bx, by)].push_back(h);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        Item& item = items_[i];
        if (item.part_of != none) continue;
        const Corner pixel = item.first;
        const auto found = buckets.find(bucket_key(pixel.x / bucket, pixel.y / bucket));
        if (found == buckets.end()) continue;
        const Hole* outermost = nullptr;
        for (const std::size_t h : found->second) {
            const Hole& hole = holes[h];
            if (hole.item == static_cast<std::int32_t>(i) || pixel.x < hole.low.x || pixel.x >= hole.high.x ||
                pixel.y < hole.low.y || pixel.y >= hole.high.y)
                continue;
            if (outermost && hole.area <= outermost->area) continue;
            if (hole.index ? hole.index->pixel_inside(pixel) : pixel_inside(*hole.ring, pixel)) outermost = &hole;
        }
        if (outermost) item.inside = outermost->item;
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        std::int32_t holder = items_[i].inside;
        if (holder == none) continue;
        while (items_[holder].inside != none) holder = items_[holder].inside;
        items_[i].inside = holder;
        islands_[holder].push_back(static_cast<std::int32_t>(i));
    }
}

RecordSize ColourMerge::size_of(std::int32_t index)
{
    const Item& item = items_[index];
    RecordSize size;
    if (item.joined == none) {
        size = {item.parts, item.points};
    } else {
        for (const EdgeRing& ring : joins_[item.joined].rings) {
            size.parts += 1;
            size.points += static_cast<std::int32_t>(ring.size());
        }
        for (const std::int32_t piece : joins_[item.joined].pieces) {
            size.parts += items_[piece].parts - 1;
            size.points += items_[piece].points - items_[piece].outer_points;
        }
    }
    std::vector<EdgeRing> rings;
    for (const std::int32_t island : islands_[index]) {
        rings.clear();
        add_island_rings(island, rings);
        for (const EdgeRing& ring : rings) {
            size.parts += 1;
            size.points += static_cast<std::int32_t>(ring.size());
        }
    }
    return size;
}

std::vector<EdgeRing> ColourMerge::rings_of(const Item& item)
{
    std::vector<EdgeRing> rings;
    if (!shapes(item.tile).read(rings, item.offset)) throw std::runtime_error("a tile's shapefile changed while read");
    return rings;
}

// The rings of an item as they stand in its own record, without its
// islands.
void ColourMerge::add_rings(std::int32_t index, std::vector<EdgeRing>& rings)
{
    const Item& item = items_[index];
    if (item.joined == none) {
        for (EdgeRing& ring : rings_of(item)) rings.push_back(std::move(ring));
        return;
    }
    rings.insert(rings.end(), joins_[item.joined].rings.begin(), joins_[item.joined].rings.end());
    for (const std::int32_t piece : joins_[item.joined].pieces) {
        std::vector<EdgeRing> inner = rings_of(items_[piece]);
        for (std::size_t r = 1; r < inner.size(); ++r) rings.push_back(std::move(inner[r]));
    }
}

// The rings of an item that lies in a hole of another, as the tracer
// follows them in that blob's record: every ring as a later ring. Where
// pixels touch only at a corner, a later ring turns as the tracer turns
// there, which is not how the item's own outer ring was traced; so the
// item's pixels (even-odd inside its own rings) are traced again.
void ColourMerge::add_island_rings(std::int32_t index, std::vector<EdgeRing>& rings)
{
    std::vector<EdgeRing> own;
    add_rings(index, own);
    Corner low = own[0][0], high = own[0][0];
    for (const EdgeRing& ring : own)
        for (const Corner& c : ring) {
            low = Corner{std::min(low.x, c.x), std::min(low.y, c.y)};
            high = Corner{std::max(high.x, c.x), std::max(high.y, c.y)};
        }
    // Pixel rows from `low.y`: the x of every vertical edge that crosses them.
    std::vector<std::vector<std::int32_t>> crossings(static_cast<std::size_t>(high.y - low.y));
    for (const EdgeRing& ring : own)
        for (std::size_t i = 0; i + 1 < ring.size(); ++i)
            if (ring[i].x == ring[i + 1].x)
                for (std::int32_t y = std::min(ring[i].y, ring[i + 1].y); y < std::max(ring[i].y, ring[i + 1].y); ++y)
                    crossings[static_cast<std::size_t>(y - low.y)].push_back(ring[i].x);
    WorkWindow window;
    // Mask coordinates count pixels from 1.
    open_work_window(window, low.x + 1, low.y + 1, high.x, high.y, run_.width, run_.height);
    for (std::size_t row = 0; row < crossings.size(); ++row) {
        std::vector<std::int32_t>& xs = crossings[row];
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2)
            for (std::int32_t x = xs[k]; x < xs[k + 1]; ++x)
                window.set_pixel(x + 1, low.y + static_cast<std::int32_t>(row) + 1);
    }
    prepare_work_window(window);
    evidenzia(window.box_blob, window.Immagine4);
    RecordArrays traced;
    trace_found_blob(window, traced, {}, false);
    const RecordArrays::Layout layout = traced.record_layouts().at(0);
    const RecordRings traced_rings{traced.point.data(), traced.part.data() + 2, layout.parts, layout.points};
    for (std::int32_t p = 0; p < layout.parts; ++p) {
        EdgeRing ring;
        for (std::size_t v = traced_rings.ring_begin(p); v < traced_rings.ring_end(p); ++v)
            ring.push_back(Corner{static_cast<std::int32_t>(traced_rings.xy[2 * v]),
                                  static_cast<std::int32_t>(traced_rings.xy[2 * v + 1])});
        rings.push_back(std::move(ring));
    }
}

std::optional<ShapefileProblem> ColourMerge::write(const ShapefilePaths& out, const ShapefileOptions& options)
{
    read_tiles();
    join_cut_blobs();
    find_islands();

    std::vector<std::int32_t> records;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].part_of == none && items_[i].inside == none) records.push_back(static_cast<std::int32_t>(i));
    std::sort(records.begin(), records.end(),
              [this](std::int32_t a, std::int32_t b) { return row_before(items_[a].lowest, items_[b].lowest); });
    std::vector<RecordSize> sizes;
    for (const std::int32_t r : records) sizes.push_back(size_of(r));

    auto fetch = [&](std::size_t n, RecordArrays& record) {
        const std::int32_t index = records[n];
        std::vector<EdgeRing> rings;
        add_rings(index, rings);
        const bool rearranged = items_[index].joined != none || !islands_[index].empty();
        for (const std::int32_t island : islands_[index]) add_island_rings(island, rings);
        if (rearranged)
            std::stable_sort(rings.begin() + 1, rings.end(),
                             [](const EdgeRing& a, const EdgeRing& b) { return column_before(a[0], b[0]); });
        std::size_t points = 0;
        for (const EdgeRing& ring : rings) points += ring.size();
        record.part.push_back(static_cast<std::int32_t>(rings.size()));
        record.part.push_back(static_cast<std::int32_t>(points));
        std::int32_t start = 0;
        for (const EdgeRing& ring : rings) {
            record.part.push_back(start);
            start += static_cast<std::int32_t>(ring.size());
            for (const Corner& c : ring) {
                record.point.push_back(c.x);
                record.point.push_back(c.y);
            }
        }
        record.part.push_back(record_end_mark);
    };
    return gen_file_shp_by_record(out, sizes, fetch, run_.width, run_.height, options);
}

}  // namespace

std::optional<ShapefileProblem> merge_colour(const TiledRun& run, std::int32_t colour, const ShapefilePaths& out,
                                             const ShapefileOptions& options)
{
    ColourMerge merge(run, colour);
    return merge.write(out, options);
}
