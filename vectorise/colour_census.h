// The class colours of a class map: every packed colour that is not a grey
// (black, white and greys are no class), and a table to look them up.
//
// Plain twin: vectorise/tests/reference_vectoriser.cpp:census_by_columns (compared in
// polvane/tests/census_test.cpp).
#pragma once

#include "grid.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

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

// Which colours are classes: every colour but the greys (black and white
// included), or every colour but black (a mask whose foreground may be grey).
enum class ClassColours { not_grey, not_black };

// The distinct class colours of `Matrice` in order of first discovery,
// scanning columns left to right and each column from the top row down.
// Returns false, with `colori` incomplete, when there are more than
// `max_colours` of them (at most 256: the colours of an 8-bit image).
bool colour_census(const Grid<std::int32_t>& Matrice, std::vector<std::int32_t>& colori, int max_colours,
                   ClassColours classes = ClassColours::not_grey);
