#include "work_image.h"

#include "cell_codes.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

void caricamento(const Grid<std::int32_t>& Matrice, std::int32_t colour, Grid<std::uint8_t>& Immagine)
{
    const int width = Matrice.width();
    const int height = Matrice.height();
    Immagine.resize(width + 2, height + 2, 0);
    for (int y = 0; y < height; ++y) {
        const std::int32_t* source = Matrice.row(y);
        std::uint8_t* target = Immagine.row(height - y);
        for (int x = 0; x < width; ++x) target[x + 1] = source[x] == colour ? 1 : 0;
    }
}

int work_image_extent(int pixels)
{
    if (pixels < 0 || pixels > (INT_MAX - 4) / 2) throw std::bad_alloc();
    return 2 * pixels + 4;
}

void MOD_raddoppiatore(const Grid<std::uint8_t>& Immagine, int width, int height, Grid<std::uint8_t>& Immagine4)
{
    const int columns = work_image_extent(width);
    const int rows = work_image_extent(height);
    if (Immagine4.width() != columns || Immagine4.height() != rows) Immagine4.resize(columns, rows, 0);

    std::memset(Immagine4.row(0), 0, static_cast<std::size_t>(columns));
    for (int Y = 1; Y <= height; ++Y) {
        const std::uint8_t* mask = Immagine.row(Y);
        std::uint8_t* lower = Immagine4.row(2 * Y - 1);
        lower[0] = 0;
        for (int X = 1; X <= width; ++X) {
            lower[2 * X - 1] = mask[X];
            lower[2 * X] = mask[X];
        }
        lower[2 * width + 1] = 0;
        lower[2 * width + 2] = 0;
        lower[2 * width + 3] = 0;
        std::memcpy(Immagine4.row(2 * Y), lower, static_cast<std::size_t>(columns));
    }
    for (int y = 2 * height + 1; y < rows; ++y) std::memset(Immagine4.row(y), 0, static_cast<std::size_t>(columns));
}

void MOD_completamento(Grid<std::uint8_t>& Immagine4, int columns, int rows)
{
    // Upwards: each column from the top down, so that a cell only looks at
    // the cell below it before that one has grown.
    for (int j = rows - 1; j >= 1; --j) {
        std::uint8_t* row = Immagine4.row(j);
        const std::uint8_t* below = Immagine4.row(j - 1);
        for (int i = 0; i < columns; ++i)
            if (row[i] == cell::background && below[i] == cell::free_cell) row[i] = cell::free_cell;
    }
    // To the right: each row from its right end.
    for (int i = 0; i < rows; ++i) {
        std::uint8_t* row = Immagine4.row(i);
        for (int j = columns - 1; j >= 1; --j)
            if (row[j] == cell::background && row[j - 1] == cell::free_cell) row[j] = cell::free_cell;
    }
}

void place_sentinels(Grid<std::uint8_t>& Immagine4)
{
    const int columns = Immagine4.width();
    const int rows = Immagine4.height();
    for (int y = 0; y < rows; ++y) {
        Immagine4(columns - 1, y) = cell::row_end;
        Immagine4(0, y) = cell::background;
    }
    std::memset(Immagine4.row(0), cell::background, static_cast<std::size_t>(columns));
    std::memset(Immagine4.row(rows - 1), cell::background, static_cast<std::size_t>(columns));
    Immagine4(0, rows - 1) = cell::scan_end;
}

void build_work_image(const Grid<std::uint8_t>& Immagine, int width, int height, Grid<std::uint8_t>& Immagine4)
{
    // Doubling and growth in one sweep, for masks of 0 and 1: after both,
    // mask pixel X covers cells 2X-1..2X+1, so an even cell 2j belongs to
    // pixel j alone and an odd cell 2j+1 to pixels j and j+1; the same holds
    // for rows. `grown` holds the cells of one mask row grown to the right.
    const int columns = work_image_extent(width);
    const int rows = work_image_extent(height);
    if (Immagine4.width() != columns || Immagine4.height() != rows) Immagine4.resize(columns, rows, 0);
    std::vector<std::uint8_t> lower(static_cast<std::size_t>(columns), 0);
    std::vector<std::uint8_t> upper(static_cast<std::size_t>(columns), 0);
    auto grow_row = [&](int Y, std::vector<std::uint8_t>& grown) {
        if (Y > height + 1) {
            std::fill(grown.begin(), grown.end(), 0);
            return;
        }
        const std::uint8_t* mask = Immagine.row(Y);
        for (int j = 0; j <= width + 1; ++j) grown[2 * j] = mask[j];
        for (int j = 0; j <= width; ++j) grown[2 * j + 1] = mask[j] | mask[j + 1];
        grown[2 * width + 3] = 0;
    };
    grow_row(0, lower);
    for (int k = 0; 2 * k < rows; ++k) {
        grow_row(k + 1, upper);
        std::memcpy(Immagine4.row(2 * k), lower.data(), lower.size());
        std::uint8_t* odd = Immagine4.row(2 * k + 1);
        for (int c = 0; c < columns; ++c) odd[c] = lower[c] | upper[c];
        lower.swap(upper);
    }
    place_sentinels(Immagine4);
}
