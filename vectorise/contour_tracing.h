// Contour tracing: every closed contour of the blob in hand is followed cell
// by cell through `Immagine4`, reduced to its corners and appended to the
// record arrays as one polygon record (all rings of the blob).
//
// Input: a blob prepared by blob_search.h (its cells 4, contour cells 5,
// shared corners 10, its box in `box_blob`). Rings come out in the order of
// their leftmost column, then lowest cell: the outer ring first, running
// counter-clockwise (y up), then holes and islands, running clockwise. A
// shared corner is visited twice, so the ring touches itself there. Under
// the even-odd rule the rings of all blobs of a class cover exactly its
// pixels. Every followed cell ends at 4, so `cancellatore` clears the blob.
#pragma once

#include "box_blob.h"
#include "grid.h"
#include "record_arrays.h"

#include <cstdint>
#include <functional>
#include <vector>

// Called when a ring is longer than the chain's first capacity, with
// `primo` true for the blob's first (outer) ring; the program warns
// ("WARNING primo=true" or "WARNING primo=false") and waits for a key.
using LongRingNotice = std::function<void(bool primo)>;

// Follows the blob's rings and appends the blob to `records` as one record;
// a blob with no contour cells gives [0, 0, -3000]. Vertices are pixel
// corners, origin at the lower-left corner of the work image's mask, plus
// (x_offset, y_offset): a work image of a window of the mask passes the
// window's pixel offset, so that vertices land in whole-image units.
// A ring longer than the chain's first capacity is told to `on_long_ring`,
// then the tracing goes on. With `outer_first` false the outer ring too is
// followed as a later ring (clockwise, leaving northwards), as the rings of
// a blob that lies inside a hole of another blob of its class are.
void gestore_contorno(int contorni, const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4, RecordArrays& records,
                      int x_offset = 0, int y_offset = 0, const LongRingNotice& on_long_ring = {},
                      bool outer_first = true);

// A ring's vertices as pixel corners, x and y in turn.
using RingChain = std::vector<int>;

// The follower (`vettore`): from cell (x, y) it moves through contour cells
// (5), passed cells (6) and shared corners (10), turning them to 4, until no
// neighbour is left to follow; returns the vertex of every emitting cell in
// the order met.
RingChain MOD_recupero_contorno(Grid<std::uint8_t>& Immagine4, int x, int y);

// Corner extraction from a closed chain (its first vertex repeated at its
// end): the first vertex, every vertex where the direction of the steps
// changes, and the first vertex again (`vsegmenti`).
RingChain convertitore_step(const RingChain& vettore);
