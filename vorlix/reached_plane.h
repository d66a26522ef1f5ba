// The plane `raggiunto` of the segment extraction: which pixels a region
// growth has reached since the last extracted segment. Clearing it is one
// step: a fresh mark value makes every pixel unreached.
//
// Plain twin: the cleared plane of vorlix/tests/reference_filter.cpp:
// reference::extract_segments.
#pragma once

#include "visit_marks.h"

#include <cstdint>

class ReachedPlane {
public:
    ReachedPlane(int width, int height) : marks_(width, height), current_(marks_.fresh()) {}

    bool reached(int x, int y) const { return marks_(x, y) == current_; }
    void reach(int x, int y) { marks_(x, y) = current_; }
    void clear() { current_ = marks_.fresh(); }

private:
    VisitMarks marks_;
    std::uint32_t current_;
};
