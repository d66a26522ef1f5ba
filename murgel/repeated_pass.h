// Repeats an in-place raster pass until a pass changes nothing, without
// rescanning the whole image each time.
//
// A pass visits the positions of a rectangle row by row, top to bottom and
// left to right; a visit looks at the cells within `reach` of its position
// (dx and dy from reach_low to reach_high) and may change one of them, the
// change being seen by the visits that follow. A visit that changed nothing
// will change nothing again until one of the cells it looks at changes. So
// after a first full pass, only the positions whose footprint holds a cell
// changed since their last visit can act, and visiting just those, in the
// same order, leaves the image exactly as the full passes would.
//
// Plain twin (full rescans until nothing changes):
// murgel/tests/reference_cleaning.cpp:reference::bridges_and_channels.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <queue>
#include <vector>

struct PassArea {
    int x_first, x_last;  // columns visited
    int y_first, y_last;  // rows visited
    int reach_low, reach_high;  // footprint of a visit, relative to its position
    int stride;           // cells per row of the image (position index = y * stride + x)
};

// `visit(x, y, changed_x, changed_y)` runs the pass at one position; it
// returns true when it changed a cell and then names that cell.
template <typename Visit>
void repeat_pass_until_stable(const PassArea& area, Visit visit)
{
    using Queue = std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<std::size_t>>;
    const std::size_t stride = static_cast<std::size_t>(area.stride);
    std::vector<std::size_t> next_pass;  // positions to visit in the next pass

    // The positions whose footprint holds cell (cx, cy): those not yet
    // visited in this pass are queued for it, the others for the next pass.
    auto note_change = [&](int cx, int cy, std::size_t position, Queue* this_pass) {
        const int y_from = std::max(cy - area.reach_high, area.y_first);
        const int y_to = std::min(cy - area.reach_low, area.y_last);
        const int x_from = std::max(cx - area.reach_high, area.x_first);
        const int x_to = std::min(cx - area.reach_low, area.x_last);
        for (int y = y_from; y <= y_to; ++y) {
            for (int x = x_from; x <= x_to; ++x) {
                const std::size_t p = static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x);
                if (p <= position)
                    next_pass.push_back(p);
                else if (this_pass)
                    this_pass->push(p);
            }
        }
    };

    // First pass: everything.
    bool changed = false;
    for (int y = area.y_first; y <= area.y_last; ++y) {
        for (int x = area.x_first; x <= area.x_last; ++x) {
            int cx, cy;
            if (visit(x, y, cx, cy)) {
                changed = true;
                note_change(cx, cy, static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x), nullptr);
            }
        }
    }

    // Following passes: only the positions a change may have woken.
    while (changed) {
        changed = false;
        std::sort(next_pass.begin(), next_pass.end());
        next_pass.erase(std::unique(next_pass.begin(), next_pass.end()), next_pass.end());
        Queue this_pass(std::greater<std::size_t>(), std::move(next_pass));
        next_pass.clear();
        std::size_t last = static_cast<std::size_t>(-1);
        while (!this_pass.empty()) {
            const std::size_t p = this_pass.top();
            this_pass.pop();
            if (p == last) continue;  // queued twice
            last = p;
            int cx, cy;
            if (visit(static_cast<int>(p % stride), static_cast<int>(p / stride), cx, cy)) {
                changed = true;
                note_change(cx, cy, p, &this_pass);
            }
        }
    }
}
