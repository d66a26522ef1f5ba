#include "ring_outlines.h"

#include <algorithm>
#include <cmath>

void LoopCutter::cut(const double* xy, std::int32_t count)
{
    loops_.clear();
    vertices_.clear();
    if (count < 2) return;
    const std::size_t n = static_cast<std::size_t>(count);
    auto x = [&](std::int32_t v) { return xy[2 * static_cast<std::size_t>(v)]; };
    auto y = [&](std::int32_t v) { return xy[2 * static_cast<std::size_t>(v) + 1]; };

    // Vertices at one point share the first of them; a NaN coordinate is at
    // no other vertex's point.
    same_as_.resize(n);
    by_point_.clear();
    for (std::int32_t v = 0; v < count; ++v) {
        same_as_[v] = v;
        if (!std::isnan(x(v)) && !std::isnan(y(v))) by_point_.push_back(v);
    }
    std::sort(by_point_.begin(), by_point_.end(), [&](std::int32_t a, std::int32_t b) {
        if (x(a) != x(b)) return x(a) < x(b);
        if (y(a) != y(b)) return y(a) < y(b);
        return a < b;
    });
    for (std::size_t i = 1; i < by_point_.size(); ++i) {
        const std::int32_t a = by_point_[i - 1], b = by_point_[i];
        if (x(a) == x(b) && y(a) == y(b)) same_as_[b] = same_as_[a];
    }

    path_.clear();
    path_place_.assign(n, -1);
    for (std::int32_t v = 0; v < count; ++v) {
        const std::int32_t point = same_as_[v];
        const std::int32_t place = path_place_[point];
        if (place < 0) {
            path_place_[point] = static_cast<std::int32_t>(path_.size());
            path_.push_back(v);
            continue;
        }
        // Back at a point of the path: the loop from there to here.
        const std::size_t loop_size = path_.size() - static_cast<std::size_t>(place) + 1;
        if (loop_size >= 4) {
            loops_.push_back({vertices_.size(), loop_size, true});
            vertices_.insert(vertices_.end(), path_.begin() + place, path_.end());
            vertices_.push_back(v);
        }
        for (std::size_t i = static_cast<std::size_t>(place) + 1; i < path_.size(); ++i)
            path_place_[same_as_[path_[i]]] = -1;
        path_.resize(static_cast<std::size_t>(place) + 1);
    }
    if (path_.size() >= 2) {
        loops_.push_back({vertices_.size(), path_.size(), false});
        vertices_.insert(vertices_.end(), path_.begin(), path_.end());
    }
}

namespace {

// A rectangle to clip paths to.
struct Frame {
    double x_min, y_min, x_max, y_max;

    bool holds(const std::vector<double>& xy) const
    {
        for (std::size_t i = 0; i + 1 < xy.size(); i += 2)
            if (!(xy[i] >= x_min && xy[i] <= x_max && xy[i + 1] >= y_min && xy[i + 1] <= y_max)) return false;
        return true;
    }
};

// One side of a frame: the points with coordinate `axis` (0 x, 1 y) on the
// kept side of `limit` (at or above it when `keep_above`).
struct Side {
    int axis;
    double limit;
    bool keep_above;

    bool keeps(const double* p) const { return keep_above ? p[axis] >= limit : p[axis] <= limit; }

    // Where the segment a-b, with one end on each side, crosses the side.
    void crossing(const double* a, const double* b, std::vector<double>& out) const
    {
        const int other = 1 - axis;
        const double t = (limit - a[axis]) / (b[axis] - a[axis]);
        double point[2];
        point[axis] = limit;
        // A weighted mean of the ends cannot overflow, however far apart.
        point[other] = a[other] * (1.0 - t) + b[other] * t;
        // Rounding must not carry the crossing beyond its segment.
        point[other] = std::clamp(point[other], std::min(a[other], b[other]), std::max(a[other], b[other]));
        out.push_back(point[0]);
        out.push_back(point[1]);
    }
};

void clip_to_side(const std::vector<double>& in, bool closed, const Side& side, std::vector<double>& out)
{
    out.clear();
    const std::size_t n = in.size() / 2;
    if (n == 0) return;
    if (side.keeps(&in[0])) out.insert(out.end(), in.begin(), in.begin() + 2);
    for (std::size_t k = 1; k < n; ++k) {
        const double* a = &in[2 * (k - 1)];
        const double* b = &in[2 * k];
        if (side.keeps(a) != side.keeps(b)) side.crossing(a, b, out);
        if (side.keeps(b)) out.insert(out.end(), b, b + 2);
    }
    // A closed path that left the side comes back along it to where it
    // started.
    if (closed && out.size() >= 2 && (out[0] != out[out.size() - 2] || out[1] != out[out.size() - 1])) {
        out.push_back(out[0]);
        out.push_back(out[1]);
    }
}

// Clips a path of x, y pairs to the frame, one side after another: the
// stretches outside a side are replaced by the side between the points where
// the path leaves and re-enters it. A closed path stays closed; what an
// unclosed one has outside at its ends is dropped.
void clip_to_frame(std::vector<double>& xy, bool closed, const Frame& frame, std::vector<double>& scratch)
{
    const Side sides[] = {
        {0, frame.x_min, true}, {0, frame.x_max, false}, {1, frame.y_min, true}, {1, frame.y_max, false}};
    for (const Side& side : sides) {
        clip_to_side(xy, closed, side, scratch);
        xy.swap(scratch);
    }
}

// Vertices further out than this many pixels are first brought in by
// clipping, so that their cells fit the line drawer's integers.
constexpr double far_out = 268435456.0;  // 2^28

std::int64_t vertex_cell(double v) { return 2 * static_cast<std::int64_t>(std::floor(v)) + 1; }

}  // namespace

CellFrame cell_frame(int width, int height)
{
    return {-1, -1, 2 * static_cast<std::int64_t>(width) + 3, 2 * static_cast<std::int64_t>(height) + 3};
}

void outline_loop(std::vector<double>& xy, bool closed, int width, int height, LoopOutline& outline,
                  std::vector<double>& scratch)
{
    outline.vertices.clear();
    outline.runs.clear();
    outline.cut_off = false;
    outline.x_lo = outline.y_lo = 0;
    outline.x_hi = outline.y_hi = -1;

    const Frame pixel_frame{-1.0, -1.0, width + 1.0, height + 1.0};
    const bool cut_off = !pixel_frame.holds(xy);
    if (cut_off) {
        const Frame far_frame{-far_out, -far_out, width + far_out, height + far_out};
        if (!far_frame.holds(xy)) clip_to_frame(xy, closed, far_frame, scratch);
    }
    for (double v : xy) outline.vertices.push_back(vertex_cell(v));
    if (outline.vertices.empty()) return;
    if (!cut_off) {
        for (std::size_t i = 0; i < outline.vertices.size(); i += 2) {
            const std::int64_t x = outline.vertices[i], y = outline.vertices[i + 1];
            outline.x_lo = i == 0 ? x : std::min(outline.x_lo, x);
            outline.x_hi = i == 0 ? x : std::max(outline.x_hi, x);
            outline.y_lo = i == 0 ? y : std::min(outline.y_lo, y);
            outline.y_hi = i == 0 ? y : std::max(outline.y_hi, y);
        }
        return;
    }

    // The loop cut off at the frame's cells, clipped as the straight lines
    // between its vertices' cells, which the drawn lines follow within
    // three quarters of a cell: where a drawn line meets the frame's edge,
    // the run along the edge starts within one cell of it, so that no gap
    // is left between them.
    outline.cut_off = true;
    const CellFrame cells = cell_frame(width, height);
    std::vector<double> cut(outline.vertices.begin(), outline.vertices.end());
    clip_to_frame(cut, closed, {static_cast<double>(cells.x_lo), static_cast<double>(cells.y_lo),
                                static_cast<double>(cells.x_hi), static_cast<double>(cells.y_hi)},
                  scratch);
    if (cut.empty()) return;
    auto on_edge = [&](double a, double b, std::int64_t edge) {
        return a == static_cast<double>(edge) && b == static_cast<double>(edge);
    };
    double x_min = cut[0], x_max = cut[0], y_min = cut[1], y_max = cut[1];
    for (std::size_t i = 0; i + 1 < cut.size(); i += 2) {
        x_min = std::min(x_min, cut[i]);
        x_max = std::max(x_max, cut[i]);
        y_min = std::min(y_min, cut[i + 1]);
        y_max = std::max(y_max, cut[i + 1]);
        if (i + 3 >= cut.size()) break;
        const double x1 = cut[i], y1 = cut[i + 1], x2 = cut[i + 2], y2 = cut[i + 3];
        if (on_edge(x1, x2, cells.x_lo) || on_edge(x1, x2, cells.x_hi) || on_edge(y1, y2, cells.y_lo) ||
            on_edge(y1, y2, cells.y_hi)) {
            for (double v : {x1, y1, x2, y2}) outline.runs.push_back(static_cast<std::int64_t>(std::llround(v)));
        }
    }
    // The drawn lines stray up to a cell from the clipped ones.
    outline.x_lo = std::max(static_cast<std::int64_t>(std::floor(x_min)) - 1, cells.x_lo);
    outline.x_hi = std::min(static_cast<std::int64_t>(std::ceil(x_max)) + 1, cells.x_hi);
    outline.y_lo = std::max(static_cast<std::int64_t>(std::floor(y_min)) - 1, cells.y_lo);
    outline.y_hi = std::min(static_cast<std::int64_t>(std::ceil(y_max)) + 1, cells.y_hi);
}
