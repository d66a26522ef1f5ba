// The sample points of the 180 directional lines through a pixel.
//
// Direction a (whole degrees, 0 to 179) points a degrees counter-clockwise
// from the +x axis, rows growing downwards. Its k-th offset advances the
// major axis by k + 1 pixels and rounds the minor axis half up. The sequence
// of offsets of a direction does not depend on the radius: a radius only
// decides where it stops (at the first offset whose length exceeds the
// radius, that offset included). So the table for a radius is a prefix of the
// table for any larger one, and one table serves all the radii of a run.
//
// Plain twin: vorlix/tests/reference_filter.cpp:reference::direction_table.
#pragma once

#include <vector>

struct Offset {
    int dx;
    int dy;
};

class DirectionTable {
public:
    static constexpr int directions = 180;

    // Generates every direction up to its first offset beyond `max_raggio`.
    explicit DirectionTable(int max_raggio);

    int max_raggio() const { return max_raggio_; }

    // Offsets of direction a (offset_dx, offset_dy), as far as generated.
    const std::vector<Offset>& offsets(int a) const { return offsets_[a]; }

    // num_offset of direction a for a radius up to max_raggio().
    int num_offset(int a, int raggio) const;

private:
    int max_raggio_;
    std::vector<std::vector<Offset>> offsets_;
};

// The radius of the table a width x height image needs for radii up to
// `max_raggio`: an offset longer than width + height lands outside the image
// from every pixel, so the table of that radius already ends, on every
// direction, with an offset that can never be sampled, and larger radii sample
// the same points. A radius typed as 2000000000 thus costs no more memory
// than the image's own extent.
int direction_table_radius(int max_raggio, int width, int height);
