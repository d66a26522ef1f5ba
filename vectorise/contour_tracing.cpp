#include "contour_tracing.h"

#include "cell_codes.h"


namespace {

enum Direction { east, north, west, south };
constexpr int step_x[4] = {1, 0, -1, 0};
constexpr int step_y[4] = {0, 1, 0, -1};

// Directions checked at the start of a cycle, and after passing a shared
// corner by a step in each direction.
constexpr Direction all_directions[] = {east, north, west, south};
constexpr Direction after_east[] = {south};
constexpr Direction after_north[] = {east, north, west, south};
constexpr Direction after_west[] = {north, west, south};
constexpr Direction after_south[] = {west, south};

struct DirectionList {
    const Direction* first;
    int count;
};

DirectionList directions_after(Direction moved)
{
    switch (moved) {
    case east: return {after_east, 1};
    case north: return {after_north, 4};
    case west: return {after_west, 3};
    default: return {after_south, 2};
    }
}

// Vertex of a work-image cell: the pixel corner (ceil(x/2), ceil(y/2)),
// counted from 1.
int corner_of(int c) { return (c + 1) / 2; }

void emit(RingChain& chain, int x, int y)
{
    chain.push_back(corner_of(x));
    chain.push_back(corner_of(y));
}

// A contour cell just entered: those of its three neighbours on the side its
// parities name that still hold 5 become 6, so that the next steps pass them
// without a vertex.
void mark_passed_neighbours(Grid<std::uint8_t>& img, int x, int y)
{
    const int dx = (x % 2 == 0) ? -1 : 1;
    const int dy = (y % 2 == 0) ? -1 : 1;
    if (img(x + dx, y) == cell::contour) img(x + dx, y) = cell::passed;
    if (img(x, y + dy) == cell::contour) img(x, y + dy) = cell::passed;
    if (img(x + dx, y + dy) == cell::contour) img(x + dx, y + dy) = cell::passed;
}

}  // namespace

RingChain MOD_recupero_contorno(Grid<std::uint8_t>& Immagine4, int x, int y)
{
    RingChain vettore;
    // The shared corner passed last, set back to 5 two cycles later so that
    // the ring can pass it a second time.
    int cond_x = 0, cond_y = 0;
    int wait = -1;
    auto release_pending = [&]() {
        if (wait >= 0) Immagine4(cond_x, cond_y) = cell::contour;
        wait = -1;
    };

    for (;;) {
        if (wait == 0) release_pending();
        if (wait > 0) --wait;

        DirectionList list{all_directions, 4};
        bool cycle_done = false;
        while (!cycle_done) {
            int found = -1;
            for (int i = 0; i < list.count && found < 0; ++i) {
                const Direction d = list.first[i];
                const std::uint8_t value = Immagine4(x + step_x[d], y + step_y[d]);
                if (value == cell::passed || value == cell::contour || value == cell::shared_corner) found = d;
            }
            if (found < 0) {
                release_pending();
                return vettore;
            }
            x += step_x[found];
            y += step_y[found];
            std::uint8_t& here = Immagine4(x, y);
            if (here == cell::passed) {
                here = cell::taken;
                cycle_done = true;
            } else if (here == cell::contour) {
                here = cell::taken;
                mark_passed_neighbours(Immagine4, x, y);
                emit(vettore, x, y);
                cycle_done = true;
            } else {
                release_pending();
                here = cell::taken;
                cond_x = x;
                cond_y = y;
                wait = 1;
                emit(vettore, x, y);
                list = directions_after(static_cast<Direction>(found));
            }
        }
    }
}

RingChain convertitore_step(const RingChain& vettore)
{
    RingChain vsegmenti;
    auto direction = [](int a, int b, int c, int d, int previous) {
        int result = previous;
        if (c > a) result = 1;
        if (c < a) result = 3;
        if (d > b) result = 4;
        if (d < b) result = 2;
        return result;
    };
    vsegmenti.push_back(vettore[0]);
    vsegmenti.push_back(vettore[1]);
    int current = direction(vettore[0], vettore[1], vettore[2], vettore[3], 0);
    const int closing = static_cast<int>(vettore.size()) - 2;
    for (int i = 2; i <= closing - 2; i += 2) {
        const int next = direction(vettore[i], vettore[i + 1], vettore[i + 2], vettore[i + 3], current);
        if (next != current) {
            current = next;
            vsegmenti.push_back(vettore[i]);
            vsegmenti.push_back(vettore[i + 1]);
        }
    }
    vsegmenti.push_back(vettore[0]);
    vsegmenti.push_back(vettore[1]);
    return vsegmenti;
}

void gestore_contorno(int contorni, const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4, RecordArrays& records,
                      int x_offset, int y_offset, const LongRingNotice& on_long_ring, bool outer_first)
{
    // The chain's first capacity, beyond which a ring is a long one.
    const long long totale = static_cast<long long>(contorni * 1.5 + 100);

    std::vector<std::int32_t>& part = records.part;
    std::vector<double>& point = records.point;
    const std::size_t start = part.size();
    part.push_back(0);  // NumParts
    part.push_back(0);  // NumPoints
    part.push_back(0);  // start of part 0

    bool primo = outer_first;
    const std::size_t stride = static_cast<std::size_t>(Immagine4.width());
    for (int p = box_blob.x_min; p <= box_blob.x_max; ++p) {
        const std::uint8_t* column = box_blob.y_min <= box_blob.y_max ? &Immagine4(p, box_blob.y_min) : nullptr;
        for (int i = box_blob.y_min; i <= box_blob.y_max; ++i, column += stride) {
            if (*column != cell::contour) continue;
            Immagine4(p, i) = cell::taken;
            RingChain followed;
            if (primo) {
                Immagine4(p + 1, i) = cell::taken;
                Immagine4(p, i + 1) = cell::passed;
                followed = MOD_recupero_contorno(Immagine4, p + 1, i);
            } else {
                Immagine4(p, i + 1) = cell::taken;
                Immagine4(p + 1, i) = cell::passed;
                followed = MOD_recupero_contorno(Immagine4, p, i + 1);
            }
            // The closed ring: its first vertex, the vertices followed, the
            // first vertex again.
            RingChain ring = {corner_of(p), corner_of(i)};
            ring.insert(ring.end(), followed.begin(), followed.end());
            ring.push_back(ring[0]);
            ring.push_back(ring[1]);
            if (static_cast<long long>(ring.size()) >= totale && on_long_ring) on_long_ring(primo);
            primo = false;

            const RingChain vsegmenti = convertitore_step(ring);
            const int size = static_cast<int>(vsegmenti.size());
            for (int m = 0; m < size; m += 2) {
                point.push_back(vsegmenti[m] - 1 + x_offset);
                point.push_back(vsegmenti[m + 1] - 1 + y_offset);
            }
            part[start] += 1;
            part[start + 1] += size / 2;
            part.push_back(part.back() + size / 2);
        }
    }
    part.back() = record_end_mark;
}
