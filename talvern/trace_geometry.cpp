#include "trace_geometry.h"

#include <algorithm>
#include <cmath>

SunFold sun_fold(float sun_azimuth_angle)
{
    SunFold fold;
    fold.alfa_2 = std::clamp(static_cast<int>(sun_azimuth_angle) % 90, 0, 90);
    fold.alfa_1 = 90 - fold.alfa_2;
    if (fold.alfa_2 != 0) {
        const float t1 = static_cast<float>(std::tan(fold.alfa_1 / 57.2965));
        const float t2 = static_cast<float>(std::tan(fold.alfa_2 / 57.2965));
        fold.h = static_cast<float>(static_cast<double>(t1) * t2 / (static_cast<double>(t1) + t2));
        fold.l = static_cast<float>(static_cast<double>(fold.h) / t1);
    }
    return fold;
}

PixelBox pixel_box(const BlobBox& box_blob)
{
    // The box runs one cell left and right of the blob's cells and spans
    // its rows; a pixel x covers cells 2x+1 .. 2x+3 once grown.
    PixelBox box;
    box.x_lo = box_blob.x_min / 2;
    box.x_hi = (box_blob.x_max - 4) / 2;
    box.y_lo = (box_blob.y_min - 1) / 2;
    box.y_hi = (box_blob.y_max - 3) / 2;
    return box;
}

TraceRect trace_rectangle(const PixelBox& box, const SunFold& fold, int width, int height)
{
    const double Ly = pixel_distance(box.x_lo, box.y_lo, box.x_lo, box.y_hi);  // vertical extent
    const double Lx = pixel_distance(box.x_lo, box.y_lo, box.x_hi, box.y_lo);  // horizontal extent
    const double h = fold.h, l = fold.l;
    // Truncated towards zero, as the int conversion does, then clamped to
    // the image.
    auto corner = [width, height](double x, double y) {
        return Point{std::clamp(static_cast<int>(x), 0, width - 1), std::clamp(static_cast<int>(y), 0, height - 1)};
    };
    TraceRect box_r;
    box_r.P0 = corner(box.x_lo - Ly * h - 1, box.y_hi - Ly * l + 1);
    box_r.P1 = corner(box.x_lo + Lx * l - 1, box.y_lo - Lx * h - 1);
    box_r.P2 = corner(box.x_hi + Ly * h + 1, box.y_lo + Ly * l - 1);
    box_r.P3 = corner(box.x_hi - Lx * l + 1, box.y_hi + Lx * h + 1);
    return box_r;
}

void trace_sides(const TraceRect& box_r, float sun_azimuth_angle, int width, int height, PointList& lato_1,
                 PointList& lato_2)
{
    // The side from corner a to corner b.
    auto side = [&](PointList& lato, Point a, Point b) {
        disegna_segmenti_vettore(lato, a.x, a.y, b.x, b.y, 2 * width + 4, 2 * height + 4);
    };
    if (sun_azimuth_angle < 90) {
        side(lato_1, box_r.P3, box_r.P2);
        side(lato_2, box_r.P0, box_r.P1);
    } else if (sun_azimuth_angle < 180) {
        side(lato_1, box_r.P0, box_r.P3);
        side(lato_2, box_r.P1, box_r.P2);
    } else if (sun_azimuth_angle < 270) {
        side(lato_1, box_r.P1, box_r.P0);
        side(lato_2, box_r.P2, box_r.P3);
    } else {
        side(lato_1, box_r.P2, box_r.P1);
        side(lato_2, box_r.P3, box_r.P0);
    }
}
