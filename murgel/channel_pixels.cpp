#include "channel_pixels.h"

#include "diagonal_bridges.h"
#include "repeated_pass.h"

bool open_channel_pixel(Grid<std::uint8_t>& Immagine, int x, int y)
{
    if (Immagine(x, y) != 1 || verifica_maggioranza(Immagine, x, y) != 6) return false;

    // Neighbours by offset: n(dx, dy), dy = -1 the row above.
    auto n = [&](int dx, int dy) { return Immagine(x + dx, y + dy); };
    const bool opposite = (n(-1, -1) == 0 && n(+1, +1) == 0) ||
                          (n(+1, -1) == 0 && n(-1, +1) == 0) ||
                          (n(-1, 0) == 0 && n(+1, -1) + n(+1, 0) + n(+1, +1) == 2) ||
                          (n(0, -1) == 0 && n(-1, +1) + n(0, +1) + n(+1, +1) == 2) ||
                          (n(+1, 0) == 0 && n(-1, -1) + n(-1, 0) + n(-1, +1) == 2) ||
                          (n(0, +1) == 0 && n(-1, -1) + n(0, -1) + n(+1, -1) == 2);
    if (!opposite) return false;
    Immagine(x, y) = 0;
    return true;
}

int apertura_canale_tre(Grid<std::uint8_t>& Immagine)
{
    int changed = 0;
    for (int y = 2; y <= Immagine.height() - 3; ++y)
        for (int x = 2; x <= Immagine.width() - 3; ++x)
            if (open_channel_pixel(Immagine, x, y)) changed = 1;
    return changed;
}

void remove_channel_pixels(Grid<std::uint8_t>& Immagine)
{
    const PassArea area{2, Immagine.width() - 3, 2, Immagine.height() - 3, -1, 1, Immagine.width()};
    repeat_pass_until_stable(area, [&](int x, int y, int& cx, int& cy) {
        cx = x;
        cy = y;
        return open_channel_pixel(Immagine, x, y);
    });
}
