// Cell codes of the bordered building mask while it is being cleaned. The
// mask holds (W+2) x (H+2) cells for a W x H image: image pixel (c, r), r
// counted from the top, is cell (c+1, r+1), and the outer ring is a border
// that starts as background.
#pragma once

#include <cstdint>

namespace mask_code {

constexpr std::uint8_t background = 0;
constexpr std::uint8_t foreground = 1;
// Flood-fill front; border cells reached by a fill keep it.
constexpr std::uint8_t front = 3;
// The foreground blob being handled (size count, then closing).
constexpr std::uint8_t blob_in_hand = 4;
// The background region being handled.
constexpr std::uint8_t region_in_hand = 5;
// A foreground blob that stays (turned back into 1 at the end of a step).
constexpr std::uint8_t blob_kept = 6;
// A large background region (turned back into 0).
constexpr std::uint8_t region_kept = 7;

}  // namespace mask_code
