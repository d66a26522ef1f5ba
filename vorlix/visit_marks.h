// Per-pixel marks that make "is this pixel already in the list being grown"
// a constant-time question: each growth takes a fresh mark value, and a pixel
// belongs to the growth exactly when it carries that value. Nothing has to be
// cleared between growths.
//
// Plain twin: the list searches of vorlix/tests/reference_filter.cpp
// (reference::remove_small_blobs, reference::extract_segments).
#pragma once

#include "grid.h"

#include <cstdint>
#include <limits>

class VisitMarks {
public:
    VisitMarks() = default;
    VisitMarks(int width, int height) : marks_(width, height, 0) {}

    // A mark value no pixel carries yet.
    std::uint32_t fresh()
    {
        if (last_ == std::numeric_limits<std::uint32_t>::max()) {
            marks_.fill(0);
            last_ = 0;
        }
        return ++last_;
    }

    // Makes sure that `count` fresh values follow without a wrap, so that
    // the values handed out from here on keep increasing.
    void ensure_room(std::uint64_t count)
    {
        if (std::numeric_limits<std::uint32_t>::max() - last_ <= count) {
            marks_.fill(0);
            last_ = 0;
        }
    }

    std::uint32_t& operator()(int x, int y) { return marks_(x, y); }
    std::uint32_t operator()(int x, int y) const { return marks_(x, y); }

private:
    Grid<std::uint32_t> marks_;
    std::uint32_t last_ = 0;
};
