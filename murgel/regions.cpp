#include "regions.h"

#include "mask_codes.h"

#include <algorithm>

bool RegionScanner::find_start(std::uint8_t valore, int& x, int& y)
{
    const int last_column = image_.width() - 2;
    for (; next_y_ <= image_.height() - 2; ++next_y_, next_x_ = 1) {
        if (next_x_ > last_column) continue;
        const std::uint8_t* row = image_.row(next_y_);
        const std::uint8_t* hit = std::find(row + next_x_, row + last_column + 1, valore);
        if (hit != row + last_column + 1) {
            x = static_cast<int>(hit - row);
            y = next_y_;
            next_x_ = x + 1;
            return true;
        }
    }
    return false;
}

bool RegionScanner::next(std::uint8_t valore, std::uint8_t mark, std::vector<Span>& spans)
{
    spans.clear();
    int x, y;
    if (!find_start(valore, x, y)) return false;

    const int last_column = image_.width() - 2;
    const int last_row = image_.height() - 2;
    const int right_border = image_.width() - 1;

    // Claims the run of `valore` through image cell (x, y) and queues it for
    // the search of its neighbours. Returns the run's last column.
    auto claim = [&](int cx, int cy) {
        std::uint8_t* row = image_.row(cy);
        int first = cx, last = cx;
        while (first - 1 >= 1 && row[first - 1] == valore) --first;
        while (last + 1 <= last_column && row[last + 1] == valore) ++last;
        std::fill(row + first, row + last + 1, mark);
        spans.push_back({cy, first, last});
        pending_.push_back({cy, first, last});
        return last;
    };

    pending_.clear();
    claim(x, y);
    while (!pending_.empty()) {
        const Span run = pending_.back();
        pending_.pop_back();

        // Ends of the run on the left and right border columns.
        std::uint8_t* row = image_.row(run.y);
        if (run.x_first == 1 && row[0] == valore) row[0] = mask_code::front;
        if (run.x_last == last_column && row[right_border] == valore) row[right_border] = mask_code::front;

        // The rows above and below, one cell beyond each end (diagonals).
        for (const int ny : {run.y - 1, run.y + 1}) {
            std::uint8_t* near = image_.row(ny);
            const bool border_row = ny == 0 || ny > last_row;
            for (int nx = run.x_first - 1; nx <= run.x_last + 1; ++nx) {
                if (near[nx] != valore) continue;
                if (border_row || nx == 0 || nx == right_border)
                    near[nx] = mask_code::front;  // reached, never spreads
                else
                    nx = claim(nx, ny);
            }
        }
    }
    return true;
}

long long region_size(const std::vector<Span>& spans)
{
    long long size = 0;
    for (const Span& run : spans) size += run.x_last - run.x_first + 1;
    return size;
}

void set_region(Grid<std::uint8_t>& Immagine, const std::vector<Span>& spans, std::uint8_t value)
{
    for (const Span& run : spans) {
        std::uint8_t* row = Immagine.row(run.y);
        std::fill(row + run.x_first, row + run.x_last + 1, value);
    }
}

int MOD_evidenziazione_blob(Grid<std::uint8_t>& Immagine, int valore, int mark)
{
    RegionScanner scanner(Immagine);
    std::vector<Span> spans;
    return scanner.next(static_cast<std::uint8_t>(valore), static_cast<std::uint8_t>(mark), spans) ? 1 : 0;
}

void eliminazione_blob(Grid<std::uint8_t>& Immagine, int soglia_blob, int valore, int mark)
{
    const bool foreground = valore == mask_code::foreground;
    const std::uint8_t small = foreground ? mask_code::background : mask_code::foreground;
    const std::uint8_t kept = foreground ? mask_code::blob_kept : mask_code::region_kept;

    RegionScanner scanner(Immagine);
    std::vector<Span> spans;
    while (scanner.next(static_cast<std::uint8_t>(valore), static_cast<std::uint8_t>(mark), spans))
        set_region(Immagine, spans, region_size(spans) < soglia_blob ? small : kept);
}
