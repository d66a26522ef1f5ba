#include "colour_census.h"

#include "bmp.h"

#include <algorithm>
#include <utility>

bool colour_census(const Grid<std::int32_t>& Matrice, std::vector<std::int32_t>& colori, int max_colours,
                   ClassColours classes)
{
    const bool greys_excluded = classes == ClassColours::not_grey;
    // One pass row by row: each colour keeps the smallest column-order
    // position x*height + y where it occurs, which is the order the census
    // of columns discovers the colours in.
    const int width = Matrice.width();
    const std::int64_t height = Matrice.height();
    ColourTable table;
    colori.clear();
    // An image without pixels: nothing to visit, however many empty rows
    // (or columns) its header gives it.
    if (Matrice.empty()) return true;
    for (int y = 0; y < Matrice.height(); ++y) {
        const std::int32_t* row = Matrice.row(y);
        std::int32_t last = 0;  // black, never a class: skipped without a look-up
        std::size_t last_slot = 0;
        for (int x = 0; x < width; ++x) {
            const std::int32_t v = row[x];
            if (greys_excluded ? is_grey(v) : v == 0) continue;
            const std::int64_t position = x * height + y;
            if (v == last) {
                std::int64_t& first = table.first(last_slot);
                if (position < first) first = position;
                continue;
            }
            const std::size_t s = table.slot(v);
            if (!table.used(s)) {
                if (table.count() == max_colours) return false;
                table.add(s, v, position);
            } else if (position < table.first(s)) {
                table.first(s) = position;
            }
            last = v;
            last_slot = s;
        }
    }
    std::vector<std::pair<std::int64_t, std::int32_t>> found;
    for (std::size_t s = 0; s < ColourTable::slots; ++s)
        if (table.used(s)) found.emplace_back(table.first(s), table.colour(s));
    std::sort(found.begin(), found.end());
    for (const auto& [first, colour] : found) colori.push_back(colour);
    return true;
}
