#include "disegna.h"

#include "line_drawing.h"

#include <climits>
#include <cmath>

int truncate_coordinate(float value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT_MAX;
    if (value < -2147483648.0f) return INT_MIN;
    return static_cast<int>(value);
}

void draw_segment(Grid<std::uint8_t>& Immagine, int x1, int y1, int x2, int y2)
{
    draw_line(Immagine, x1, y1, x2, y2, drelwin_ink);
}

Grid<std::uint8_t> disegna(const SegmentTable& Segmenti, int totale, int width, int height)
{
    Grid<std::uint8_t> Immagine(width, height, drelwin_background);
    for (int i = 0; i < totale; ++i) {
        const float* v = Segmenti.record(i);
        draw_segment(Immagine, truncate_coordinate(v[0]), truncate_coordinate(v[1]), truncate_coordinate(v[2]),
                     truncate_coordinate(v[3]));
    }
    return Immagine;
}
