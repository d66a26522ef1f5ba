#include "pixel_record.h"

#include <cmath>

namespace {

double pixel_x(double X, const MapExtent& bmp_box, int width)
{
    return (X - bmp_box.x_min) * width / (bmp_box.x_max - bmp_box.x_min);
}

double pixel_y(double Y, const MapExtent& bmp_box, int height)
{
    return (Y - bmp_box.y_min) * height / (bmp_box.y_max - bmp_box.y_min);
}

}  // namespace

PixelRecord to_pixel_units(const ShapeRecord& record, const MapExtent& bmp_box, int width, int height)
{
    PixelRecord converted;
    converted.box = {pixel_x(record.box[0], bmp_box, width), pixel_y(record.box[1], bmp_box, height),
                     pixel_x(record.box[2], bmp_box, width), pixel_y(record.box[3], bmp_box, height)};
    converted.parts = record.parts;
    converted.points.resize(record.points.size());
    for (std::size_t i = 0; i + 1 < record.points.size(); i += 2) {
        converted.points[i] = pixel_x(record.points[i], bmp_box, width);
        converted.points[i + 1] = pixel_y(record.points[i + 1], bmp_box, height);
    }
    return converted;
}

bool outside_background(const PixelRecord& record, int width, int height, bool partial)
{
    for (double value : record.box)
        if (!std::isfinite(value)) return true;
    const auto& box = record.box;
    if (partial) return box[0] >= width || box[1] >= height || box[2] <= 0 || box[3] <= 0;
    return box[0] < 0 || box[1] < 0 || box[2] > width || box[3] > height;
}
