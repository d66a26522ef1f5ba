// The colours of an 8-bit class map read through GDAL, and the key under
// which each of its 256 values is counted as a class.
//
// With a colour table, the classes are the entry colours, packed as in
// bmp.h (red*65536 + green*256 + blue), exactly as a BMP's palette gives
// them: values whose entry is grey (black, white, greys) are no class, and
// values whose entries have the same colour are one class. Without a colour
// table each value is a class of its own, greys included: its key is
// -(value + 1), which is never grey and never a packed colour.
#pragma once

#include "bmp.h"

#include <array>
#include <cstdint>

struct ClassMapColours {
    bool has_colour_table = false;
    int entry_count = 0;                     // entries in the colour table (0 without one)
    std::array<std::int32_t, 256> packed{};  // entry colours; 0 (black) past the table's end

    // The class key of `value`: its entry colour, or -(value + 1) without a
    // colour table.
    std::int32_t class_key(std::uint8_t value) const
    {
        return has_colour_table ? packed[value] : -(static_cast<std::int32_t>(value) + 1);
    }

    // Whether `value` is a class at all.
    bool is_class(std::uint8_t value) const { return !is_grey(class_key(value)); }
};

// The colour table as a BMP palette (blue, green, red, reserved 0 per entry;
// black past the table's end, as a BMP's short palette is read).
inline BmpPalette bmp_palette_of(const ClassMapColours& colours)
{
    BmpPalette palette{};
    for (std::size_t i = 0; i < 256; ++i) {
        const std::int32_t packed = colours.packed[i];
        palette[4 * i] = static_cast<std::uint8_t>(packed & 255);
        palette[4 * i + 1] = static_cast<std::uint8_t>((packed >> 8) & 255);
        palette[4 * i + 2] = static_cast<std::uint8_t>((packed >> 16) & 255);
    }
    return palette;
}

// The value a key of a map without a colour table stands for.
inline int value_of_class_key(std::int32_t key)
{
    return -key - 1;
}
