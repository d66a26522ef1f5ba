// The plane `raggiunto` of the segment extraction: which pixels the region
// growths have reached since the last extracted segment, and in which order
// the current growth reached its own, so that a candidate search can be
// asked what had been reached when it ran although the growth went on.
//
// Every pixel holds a stamp: the pixels a growth reaches for the first time
// since the last clearing are stamped with consecutive values from the
// growth's base on; pixels below the clearing mark are unreached. Clearing is
// one step: the mark moves up to the next base.
//
// Plain twin: the cleared plane of vorlix/tests/reference_filter.cpp:
// reference::extract_segments.
#pragma once

#include "grid.h"

#include <cstdint>
#include <limits>

class ReachedPlane {
public:
    ReachedPlane(int width, int height) : stamps_(width, height, 0) {}

    // Reached by an earlier growth since the last clearing, or by the
    // current one.
    bool reached(int x, int y) const { return stamps_(x, y) >= cleared_; }

    // Reached by an earlier growth since the last clearing, or as one of the
    // first `count` pixels of the current growth.
    bool reached_before(int x, int y, std::size_t count) const
    {
        const std::uint32_t stamp = stamps_(x, y);
        return stamp >= cleared_ && (stamp < base_ || stamp - base_ < count);
    }

    // A growth starts; it lists at most `most` pixels.
    void start_growth(std::size_t most)
    {
        if (std::numeric_limits<std::uint32_t>::max() - base_ <= most) renumber();
    }

    // The current growth lists (x, y) as its pixel number `index`.
    void reach(int x, int y, std::size_t index)
    {
        std::uint32_t& stamp = stamps_(x, y);
        if (stamp < cleared_) stamp = base_ + static_cast<std::uint32_t>(index);
    }

    // The current growth did not list (x, y) as its pixel number `index`
    // after all.
    void unreach(int x, int y, std::size_t index)
    {
        std::uint32_t& stamp = stamps_(x, y);
        if (stamp == base_ + static_cast<std::uint32_t>(index)) stamp = 0;
    }

    // The current growth ended having listed `count` pixels.
    void end_growth(std::size_t count) { base_ += static_cast<std::uint32_t>(count); }

    // Every pixel becomes unreached.
    void clear() { cleared_ = base_; }

private:
    // Stamps from 1 on again: reached pixels 1, the others 0.
    void renumber()
    {
        for (std::uint32_t& stamp : stamps_.cells()) stamp = stamp >= cleared_ ? 1 : 0;
        cleared_ = 1;
        base_ = 2;
    }

    Grid<std::uint32_t> stamps_;
    std::uint32_t cleared_ = 1;  // stamps from here on are reached
    std::uint32_t base_ = 1;     // the current growth's first stamp
};
