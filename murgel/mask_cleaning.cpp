#include "mask_cleaning.h"

#include "channel_pixels.h"
#include "closing.h"
#include "diagonal_bridges.h"
#include "mask_codes.h"
#include "regions.h"

void recode_image_cells(Grid<std::uint8_t>& Immagine, std::uint8_t from, std::uint8_t to)
{
    for (int y = 1; y <= Immagine.height() - 2; ++y) {
        std::uint8_t* row = Immagine.row(y);
        for (int x = 1; x <= Immagine.width() - 2; ++x)
            if (row[x] == from) row[x] = to;
    }
}

void clean_mask(Grid<std::uint8_t>& Immagine, int soglia_blob)
{
    remove_diagonal_bridges(Immagine);
    remove_channel_pixels(Immagine);
    remove_diagonal_bridges(Immagine);

    eliminazione_blob(Immagine, soglia_blob, mask_code::foreground, mask_code::blob_in_hand);
    eliminazione_blob(Immagine, soglia_blob, mask_code::background, mask_code::region_in_hand);
    recode_image_cells(Immagine, mask_code::blob_kept, mask_code::foreground);
    recode_image_cells(Immagine, mask_code::region_kept, mask_code::background);

    dilate_erode(Immagine, soglia_blob);
    recode_image_cells(Immagine, mask_code::blob_kept, mask_code::foreground);
}
