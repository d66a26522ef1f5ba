#include "closing.h"

#include "mask_codes.h"
#include "regions.h"

#include <cstddef>
#include <vector>

namespace {

// Transient codes of the cells around the blob in hand, on the mask itself
// (their own values are kept aside and restored).
constexpr std::uint8_t ring_cell = 2;        // added by the dilation
constexpr std::uint8_t eroded_cell = 30;     // removed again by the erosion
constexpr std::uint8_t gap_counted = 10;     // a gap region being counted
constexpr std::uint8_t gap_accepted = 11;    // a small gap, added to the blob

struct RingCell {
    std::size_t index;
    std::uint8_t original;
};

class BlobCloser {
public:
    BlobCloser(Grid<std::uint8_t>& Immagine, int soglia_blob)
        : cells_(Immagine.cells()), width_(Immagine.width()), height_(Immagine.height()), soglia_blob_(soglia_blob)
    {
    }

    // The blob's cells hold blob_in_hand; afterwards the blob and the cells
    // it gains hold blob_kept and every other cell its own value.
    void close(const std::vector<Span>& blob)
    {
        if (soglia_blob_ > 1) {  // a gap counts at least one cell
            dilate(blob);
            erode();
            accept_small_gaps();
        }
        for (const Span& run : blob)
            for (int x = run.x_first; x <= run.x_last; ++x) cells_[index(x, run.y)] = mask_code::blob_kept;
        for (const RingCell& cell : ring_)
            cells_[cell.index] = cells_[cell.index] == gap_accepted ? mask_code::blob_kept : cell.original;
        ring_.clear();
    }

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    // Calls f(neighbour index) for the eight neighbours of a cell that lie
    // on the mask.
    template <typename F>
    void for_neighbours(std::size_t at, F f) const
    {
        const int x = static_cast<int>(at % static_cast<std::size_t>(width_));
        const int y = static_cast<int>(at / static_cast<std::size_t>(width_));
        for (int ny = y - 1; ny <= y + 1; ++ny) {
            if (ny < 0 || ny >= height_) continue;
            for (int nx = x - 1; nx <= x + 1; ++nx) {
                if (nx < 0 || nx >= width_ || (nx == x && ny == y)) continue;
                f(index(nx, ny));
            }
        }
    }

    // The ring: every cell next to the blob that is not part of it. The blob
    // lies on image cells, so its ring lies on the mask.
    void dilate(const std::vector<Span>& blob)
    {
        for (const Span& run : blob) {
            for (int y = run.y - 1; y <= run.y + 1; ++y) {
                for (int x = run.x_first - 1; x <= run.x_last + 1; ++x) {
                    const std::size_t at = index(x, y);
                    const std::uint8_t value = cells_[at];
                    if (value == mask_code::blob_in_hand || value == ring_cell) continue;
                    ring_.push_back({at, value});
                    cells_[at] = ring_cell;
                }
            }
        }
    }

    // A ring cell next to a cell of the mask outside blob and ring goes.
    // Eroded cells still count as part of the closing's body, so the order
    // does not matter.
    void erode()
    {
        for (const RingCell& cell : ring_) {
            bool outside_nearby = false;
            for_neighbours(cell.index, [&](std::size_t n) {
                const std::uint8_t value = cells_[n];
                if (value != mask_code::blob_in_hand && value != ring_cell && value != eroded_cell)
                    outside_nearby = true;
            });
            if (outside_nearby) cells_[cell.index] = eroded_cell;
        }
    }

    // The ring cells left form the gaps; each 8-connected gap smaller than
    // the threshold is accepted.
    void accept_small_gaps()
    {
        for (const RingCell& seed : ring_) {
            if (cells_[seed.index] != ring_cell) continue;
            gap_.clear();
            gap_.push_back(seed.index);
            cells_[seed.index] = gap_counted;
            for (std::size_t i = 0; i < gap_.size(); ++i) {
                for_neighbours(gap_[i], [&](std::size_t n) {
                    if (cells_[n] != ring_cell) return;
                    cells_[n] = gap_counted;
                    gap_.push_back(n);
                });
            }
            if (static_cast<long long>(gap_.size()) < soglia_blob_)
                for (const std::size_t at : gap_) cells_[at] = gap_accepted;
        }
    }

    std::vector<std::uint8_t>& cells_;
    int width_;
    int height_;
    int soglia_blob_;
    std::vector<RingCell> ring_;
    std::vector<std::size_t> gap_;
};

}  // namespace

void dilate_erode(Grid<std::uint8_t>& Immagine, int soglia_blob)
{
    BlobCloser closer(Immagine, soglia_blob);
    RegionScanner scanner(Immagine);
    std::vector<Span> blob;
    while (scanner.next(mask_code::foreground, mask_code::blob_in_hand, blob)) closer.close(blob);
}
