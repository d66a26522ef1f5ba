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

PixelBox pixel_box(const BoxBlob& box_blob)
{
    // The box runs one cell left and right of the blob's cells and spans
    // its rows; a pixel x covers cells 2x+1 .. 2x+3 once grown.
    PixelBox box;
    box.x_lo = box_blob[0] / 2;
    box.x_hi = (box_blob[1] - 4) / 2;
    box.y_lo = (box_blob[2] - 1) / 2;
    box.y_hi = (box_blob[3] - 3) / 2;
    return box;
}

std::array<int, 8> trace_rectangle(const PixelBox& box, const SunFold& fold, int width, int height)
{
    const double Ly = pixel_distance(box.x_lo, box.y_lo, box.x_lo, box.y_hi);  // vertical extent
    const double Lx = pixel_distance(box.x_lo, box.y_lo, box.x_hi, box.y_lo);  // horizontal extent
    const double h = fold.h, l = fold.l;
    // Truncated towards zero, as the int conversion does.
    std::array<int, 8> box_r = {
        static_cast<int>(box.x_lo - Ly * h - 1), static_cast<int>(box.y_hi - Ly * l + 1),  // P0
        static_cast<int>(box.x_lo + Lx * l - 1), static_cast<int>(box.y_lo - Lx * h - 1),  // P1
        static_cast<int>(box.x_hi + Ly * h + 1), static_cast<int>(box.y_lo + Ly * l - 1),  // P2
        static_cast<int>(box.x_hi - Lx * l + 1), static_cast<int>(box.y_hi + Lx * h + 1),  // P3
    };
    for (int k = 0; k < 8; k += 2) {
        box_r[k] = std::clamp(box_r[k], 0, width - 1);
        box_r[k + 1] = std::clamp(box_r[k + 1], 0, height - 1);
    }
    return box_r;
}

void trace_sides(const std::array<int, 8>& box_r, float sun_azimuth_angle, int width, int height, PointList& lato_1,
                 PointList& lato_2)
{
    // Side from corner a to corner b of the rectangle.
    auto side = [&](PointList& lato, int a, int b) {
        disegna_segmenti_vettore(lato, box_r[2 * a], box_r[2 * a + 1], box_r[2 * b], box_r[2 * b + 1],
                                 2 * width + 4, 2 * height + 4);
    };
    if (sun_azimuth_angle < 90) {
        side(lato_1, 3, 2);
        side(lato_2, 0, 1);
    } else if (sun_azimuth_angle < 180) {
        side(lato_1, 0, 3);
        side(lato_2, 1, 2);
    } else if (sun_azimuth_angle < 270) {
        side(lato_1, 1, 0);
        side(lato_2, 2, 3);
    } else {
        side(lato_1, 2, 1);
        side(lato_2, 3, 0);
    }
}
