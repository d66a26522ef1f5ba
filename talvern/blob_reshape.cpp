#include "blob_reshape.h"

#include "cell_codes.h"

namespace {

// Marks the block's two empty cells while the scan goes on, so that they do
// not count as 4 for the blocks after them.
constexpr std::uint8_t corner_joint = 14;

}  // namespace

void MOD_completamento_inverso(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4)
{
    for (int c = box_blob.x_min; c <= box_blob.x_max; ++c) {
        for (int r = box_blob.y_max + 1; r > box_blob.y_min; --r) {
            if (Immagine4(c, r) == cell::background && Immagine4(c, r - 1) == cell::taken) {
                Immagine4(c, r - 1) = cell::background;
                break;
            }
        }
    }
    for (int r = box_blob.y_min; r <= box_blob.y_max; ++r) {
        std::uint8_t* row = Immagine4.row(r);
        for (int c = box_blob.x_max; c > box_blob.x_min; --c) {
            if (row[c] == cell::background && row[c - 1] == cell::taken) {
                row[c - 1] = cell::background;
                break;
            }
        }
    }
}

void MOD_completamento_spigoli_diagonali(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4)
{
    Grid<std::uint8_t>& m = Immagine4;
    for (int c = box_blob.x_min; c < box_blob.x_max; ++c) {
        for (int r = box_blob.y_min; r < box_blob.y_max; ++r) {
            if (m(c, r) == cell::taken && m(c + 1, r + 1) == cell::taken && m(c + 1, r) == cell::background &&
                m(c, r + 1) == cell::background) {
                m(c + 1, r) = corner_joint;
                m(c, r + 1) = corner_joint;
            }
            if (m(c + 1, r) == cell::taken && m(c, r + 1) == cell::taken && m(c, r) == cell::background &&
                m(c + 1, r + 1) == cell::background) {
                m(c, r) = corner_joint;
                m(c + 1, r + 1) = corner_joint;
            }
        }
    }
    for (int r = box_blob.y_min; r <= box_blob.y_max; ++r) {
        std::uint8_t* row = m.row(r);
        for (int c = box_blob.x_min; c <= box_blob.x_max; ++c)
            if (row[c] == corner_joint) row[c] = cell::taken;
    }
}

void rise_write(const BlobBox& box_blob, float rise_value, const Grid<std::uint8_t>& Immagine4,
               Grid<float>& Matrice_raise)
{
    for (int r = box_blob.y_min; r <= box_blob.y_max; ++r) {
        const std::uint8_t* row = Immagine4.row(r);
        for (int c = box_blob.x_min; c <= box_blob.x_max; ++c) {
            if (row[c] != cell::taken) continue;
            // The reshaped blob has no cell past the last pixel; checked all
            // the same, as the cell-to-pixel map cannot be trusted blindly.
            const int x = (c - 1) / 2, y = (r - 1) / 2;
            if (Matrice_raise.contains(x, y)) Matrice_raise(x, y) = rise_value;
        }
    }
}
