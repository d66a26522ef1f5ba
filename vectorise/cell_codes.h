// Codes held by the cells of the doubled work image `Immagine4` while the
// blobs of one class are found, filled, outlined and traced.
#pragma once

#include <cstdint>

namespace cell {

constexpr std::uint8_t background = 0;     // other class, border, or a blob already done
constexpr std::uint8_t free_cell = 1;      // cell of the class not yet taken by a blob
constexpr std::uint8_t walk_mark = 2;      // background cell where the boundary walk met the blob once
constexpr std::uint8_t taken = 4;          // blob in hand; a background cell met twice; a followed contour cell
constexpr std::uint8_t contour = 5;        // contour cell of the blob in hand; the walk's start cell
constexpr std::uint8_t passed = 6;         // contour cell the follower passes without a vertex; end marker
constexpr std::uint8_t shared_corner = 10; // corner where the blob touches itself diagonally
constexpr std::uint8_t row_end = 20;       // right sentinel column
constexpr std::uint8_t scan_end = 40;      // end-of-scan sentinel at (0, top row)

}  // namespace cell
