#include "diagonal_bridges.h"

#include "repeated_pass.h"

int verifica_maggioranza(const Grid<std::uint8_t>& Immagine, int i, int j)
{
    return Immagine(i - 1, j - 1) + Immagine(i, j - 1) + Immagine(i + 1, j - 1) + Immagine(i - 1, j) +
           Immagine(i + 1, j) + Immagine(i - 1, j + 1) + Immagine(i, j + 1) + Immagine(i + 1, j + 1);
}

bool break_diagonal_bridge(Grid<std::uint8_t>& Immagine, int x, int y, int& cleared_x, int& cleared_y)
{
    const std::uint8_t top_left = Immagine(x, y);
    const std::uint8_t top_right = Immagine(x + 1, y);
    const std::uint8_t bottom_left = Immagine(x, y + 1);
    const std::uint8_t bottom_right = Immagine(x + 1, y + 1);

    if (top_left == 1 && bottom_right == 1 && top_right == 0 && bottom_left == 0) {
        if (verifica_maggioranza(Immagine, x, y) < verifica_maggioranza(Immagine, x + 1, y + 1)) {
            cleared_x = x;
            cleared_y = y;
        } else {
            cleared_x = x + 1;
            cleared_y = y + 1;
        }
    } else if (top_right == 1 && bottom_left == 1 && top_left == 0 && bottom_right == 0) {
        if (verifica_maggioranza(Immagine, x, y + 1) < verifica_maggioranza(Immagine, x + 1, y)) {
            cleared_x = x;
            cleared_y = y + 1;
        } else {
            cleared_x = x + 1;
            cleared_y = y;
        }
    } else {
        return false;
    }
    Immagine(cleared_x, cleared_y) = 0;
    return true;
}

int procedura_diagonale(Grid<std::uint8_t>& Immagine)
{
    int changed = 0;
    int cleared_x, cleared_y;
    for (int y = 1; y <= Immagine.height() - 3; ++y)
        for (int x = 1; x <= Immagine.width() - 3; ++x)
            if (break_diagonal_bridge(Immagine, x, y, cleared_x, cleared_y)) changed = 1;
    return changed;
}

void remove_diagonal_bridges(Grid<std::uint8_t>& Immagine)
{
    // A window's verdict depends on its own four cells only (which of the
    // two pixels goes is decided by the neighbours, but that it acts is not).
    const PassArea area{1, Immagine.width() - 3, 1, Immagine.height() - 3, 0, 1, Immagine.width()};
    repeat_pass_until_stable(area, [&](int x, int y, int& cx, int& cy) {
        return break_diagonal_bridge(Immagine, x, y, cx, cy);
    });
}
