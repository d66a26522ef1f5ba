#include "census.h"

#include "bmp.h"

#include <unordered_set>

bool colour_census(const Grid<std::int32_t>& Matrice, std::vector<std::int32_t>& colori)
{
    colori.clear();
    std::unordered_set<std::int32_t> found;
    // A class map is mostly runs of one value: the last colour met is
    // checked first, the set only on a change.
    bool have_last = false;
    std::int32_t last = 0;
    for (int y = 0; y < Matrice.height(); ++y) {
        const std::int32_t* row = Matrice.row(y);
        for (int x = 0; x < Matrice.width(); ++x) {
            const std::int32_t v = row[x];
            if ((have_last && v == last) || is_grey(v)) continue;
            if (found.insert(v).second) {
                if (static_cast<int>(colori.size()) == max_census_colours) return false;
                colori.push_back(v);
            }
            have_last = true;
            last = v;
        }
    }
    return true;
}
