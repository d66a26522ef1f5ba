// The mask clean-up written the plain way: every pass over the whole image,
// regions grown by repeated full passes, each closing on a buffer as large as
// the mask. Slow, and kept only to check the fast routines against.
#pragma once

#include "grid.h"

#include <cstdint>

namespace reference {

using Mask = Grid<std::uint8_t>;

int procedura_diagonale(Mask& m);
int apertura_canale_tre(Mask& m);
int MOD_evidenziazione_blob(Mask& m, int valore, int mark);
void eliminazione_blob(Mask& m, int soglia_blob, int valore, int mark);
void dilate_erode(Mask& m, int soglia_blob);

// Steps of the clean-up in their order.
void bridges_and_channels(Mask& m);
void remove_small_regions(Mask& m, int soglia_blob);  // both eliminations and the recoding after them
void clean_mask(Mask& m, int soglia_blob);

}  // namespace reference
