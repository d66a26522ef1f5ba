#include "disegna.h"

#include "line_drawing.h"

void disegna(int x1, int y1, int x2, int y2, Grid<std::uint8_t>& Pixel_Panel)
{
    draw_line(Pixel_Panel, x1, y1, x2, y2, 1);
}
