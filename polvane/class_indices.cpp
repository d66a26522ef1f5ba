#include "polvane.h"

Grid<std::uint8_t> class_indices(const Grid<std::int32_t>& Matrice, const std::vector<std::int32_t>& colori)
{
    ColourTable table;
    for (std::size_t i = 0; i < colori.size(); ++i) {
        const std::size_t s = table.slot(colori[i]);
        table.add(s, colori[i], 0);
        table.index(s) = static_cast<std::int32_t>(i);
    }
    const int width = Matrice.width(), height = Matrice.height();
    Grid<std::uint8_t> classi(width, height, no_class);
    if (classi.empty()) return classi;
    for (int y = 0; y < height; ++y) {
        const std::int32_t* row = Matrice.row(y);
        std::uint8_t* target = classi.row(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::size_t s = table.slot(row[x]);
            if (table.used(s)) target[x] = static_cast<std::uint8_t>(table.index(s));
        }
    }
    return classi;
}
