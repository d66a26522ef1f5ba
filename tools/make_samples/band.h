// A straight band of a given width along a segment: a street of the town or
// a road of the countryside. Pixel (x, y) has its centre at (x + 0.5, y + 0.5).
#pragma once

namespace samples {

struct Band {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // the centre line, end to end
    int width_tenths = 10;               // full width, in tenths of a pixel

    // True when the centre of pixel (x, y) lies at most half the width from
    // the centre line and between the band's two ends.
    bool covers(int x, int y) const;

    // The same band made wider by `extra_tenths`.
    Band widened(int extra_tenths) const { return {x1, y1, x2, y2, width_tenths + extra_tenths}; }
};

}  // namespace samples
