#include "disegna.h"

#include <cstdlib>
#include <utility>

void disegna(int x1, int y1, int x2, int y2, Grid<std::uint8_t>& Pixel_Panel)
{
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int Dx = x2 - x1;
    const int Dy = y2 - y1;
    const int SegnoDx = Dx >= 0 ? 1 : -1;
    int LatoLungo = std::abs(Dx);
    int LatoCorto = std::abs(Dy);
    int step_x = SegnoDx, step_y = 0;
    if (LatoLungo < LatoCorto) {  // steep: the plain step goes up
        std::swap(LatoLungo, LatoCorto);
        step_x = 0;
        step_y = 1;
    }
    int Salto = LatoLungo / 4;
    int xPunto = x1, yPunto = y1;

    auto plot = [&] {
        if (Pixel_Panel.contains(xPunto, yPunto)) Pixel_Panel(xPunto, yPunto) = 1;
    };
    plot();
    for (int i = 0; i < LatoLungo; ++i) {
        Salto += LatoCorto;
        if (Salto >= LatoLungo) {
            Salto -= LatoLungo;
            xPunto += SegnoDx;
            yPunto += 1;
        } else {
            xPunto += step_x;
            yPunto += step_y;
        }
        plot();
    }
}
