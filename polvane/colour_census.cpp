#include "polvane.h"

#include "bmp.h"

#include <algorithm>
#include <array>

namespace {

// The distinct colours met so far with their first position in column
// order; a small open-addressing table, since an 8-bit image holds at most
// 256 colours.
class ColourTable {
public:
    // Slot of `colour`, or of the empty place where it would go.
    std::size_t slot(std::int32_t colour) const
    {
        std::size_t s = (static_cast<std::uint32_t>(colour) * 2654435761u) % slots;
        while (used_[s] && colours_[s] != colour) s = (s + 1) % slots;
        return s;
    }

    bool used(std::size_t s) const { return used_[s]; }
    std::int32_t colour(std::size_t s) const { return colours_[s]; }
    std::int64_t& first(std::size_t s) { return first_[s]; }
    std::int32_t& index(std::size_t s) { return index_[s]; }

    void add(std::size_t s, std::int32_t colour, std::int64_t first)
    {
        used_[s] = true;
        colours_[s] = colour;
        first_[s] = first;
        ++count_;
    }

    int count() const { return count_; }

    static constexpr std::size_t slots = 1024;

private:
    std::array<bool, slots> used_{};
    std::array<std::int32_t, slots> colours_{};
    std::array<std::int64_t, slots> first_{};
    std::array<std::int32_t, slots> index_{};
    int count_ = 0;
};

}  // namespace

bool colour_census(const Grid<std::int32_t>& Matrice, std::vector<std::int32_t>& colori)
{
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
        std::int32_t last = 0;  // grey: skipped without a look-up
        std::size_t last_slot = 0;
        for (int x = 0; x < width; ++x) {
            const std::int32_t v = row[x];
            if (is_grey(v)) continue;
            const std::int64_t position = x * height + y;
            if (v == last) {
                std::int64_t& first = table.first(last_slot);
                if (position < first) first = position;
                continue;
            }
            const std::size_t s = table.slot(v);
            if (!table.used(s)) {
                if (table.count() == max_colori) return false;
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
