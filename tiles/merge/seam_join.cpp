#include "seam_join.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace {

// 0 east, 1 north, 2 west, 3 south.
constexpr int dx[4] = {1, 0, -1, 0};
constexpr int dy[4] = {0, 1, 0, -1};

int direction(const Corner& a, const Corner& b)
{
    if (b.x > a.x) return 0;
    if (b.y > a.y) return 1;
    if (b.x < a.x) return 2;
    return 3;
}

int right_of(int d) { return (d + 3) % 4; }
int opposite(int d) { return (d + 2) % 4; }

std::uint64_t corner_key(const Corner& c)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(c.x)) << 32) | static_cast<std::uint32_t>(c.y);
}

// A stretch of boundary from its first point to its last.
struct Piece {
    std::vector<Corner> points;
    int first_direction() const { return direction(points[0], points[1]); }
    int last_direction() const { return direction(points[points.size() - 2], points.back()); }
};

}  // namespace

std::vector<EdgeRing> join_pieces(const std::vector<const EdgeRing*>& outer_rings, const SeamTest& on_seam)
{
    std::vector<Piece> pieces;
    // The unit seam edges left, each by its start and direction; an edge and
    // its reverse cancel.
    std::unordered_map<std::uint64_t, std::uint8_t> seam_edges;  // start -> set of directions (bits)
    auto add_seam_edge = [&](const Corner& from, int d) {
        const Corner to{from.x + dx[d], from.y + dy[d]};
        const auto back = seam_edges.find(corner_key(to));
        if (back != seam_edges.end() && (back->second & (1u << opposite(d)))) {
            back->second &= static_cast<std::uint8_t>(~(1u << opposite(d)));
            if (back->second == 0) seam_edges.erase(back);
            return;
        }
        seam_edges[corner_key(from)] |= static_cast<std::uint8_t>(1u << d);
    };

    for (const EdgeRing* ring_pointer : outer_rings) {
        const EdgeRing& ring = *ring_pointer;
        const std::size_t edges = ring.size() - 1;
        std::size_t start = edges;
        for (std::size_t i = 0; i < edges && start == edges; ++i)
            if (on_seam(ring[i], ring[i + 1])) start = i;
        if (start == edges) throw std::logic_error("a piece without a seam edge");
        Piece open;
        for (std::size_t k = 0; k < edges; ++k) {
            const std::size_t i = (start + k) % edges;
            const Corner& a = ring[i];
            const Corner& b = ring[i + 1];
            if (on_seam(a, b)) {
                if (!open.points.empty()) pieces.push_back(std::move(open));
                open = Piece();
                const int d = direction(a, b);
                for (Corner c = a; c != b; c = Corner{c.x + dx[d], c.y + dy[d]}) add_seam_edge(c, d);
            } else {
                if (open.points.empty()) open.points.push_back(a);
                open.points.push_back(b);
            }
        }
        if (!open.points.empty()) pieces.push_back(std::move(open));
    }
    for (const auto& [key, directions] : seam_edges) {
        const Corner from{static_cast<std::int32_t>(key >> 32), static_cast<std::int32_t>(key & 0xffffffffu)};
        for (int d = 0; d < 4; ++d)
            if (directions & (1u << d)) pieces.push_back(Piece{{from, Corner{from.x + dx[d], from.y + dy[d]}}});
    }

    std::unordered_map<std::uint64_t, std::vector<std::size_t>> leaving;  // pieces by their first point
    for (std::size_t p = 0; p < pieces.size(); ++p) leaving[corner_key(pieces[p].points.front())].push_back(p);
    auto next_piece = [&](const Piece& piece) {
        const auto found = leaving.find(corner_key(piece.points.back()));
        if (found == leaving.end()) throw std::logic_error("a boundary that does not close");
        const std::vector<std::size_t>& out = found->second;
        if (out.size() == 1) return out[0];
        const int wanted = right_of(piece.last_direction());
        for (const std::size_t q : out)
            if (pieces[q].first_direction() == wanted) return q;
        throw std::logic_error("a corner the walk cannot pass");
    };

    std::vector<EdgeRing> rings;
    std::vector<bool> used(pieces.size(), false);
    for (std::size_t first = 0; first < pieces.size(); ++first) {
        if (used[first]) continue;
        std::vector<Corner> walk;
        std::size_t p = first;
        do {
            if (used[p]) throw std::logic_error("a boundary walked twice");
            used[p] = true;
            walk.insert(walk.end(), pieces[p].points.begin() + (walk.empty() ? 0 : 1), pieces[p].points.end());
            p = next_piece(pieces[p]);
        } while (p != first);
        EdgeRing ring = traced_form(walk);
        if (!ring.empty()) rings.push_back(std::move(ring));
    }
    std::sort(rings.begin(), rings.end(), [](const EdgeRing& a, const EdgeRing& b) { return column_before(a[0], b[0]); });
    return rings;
}
