#include "reference_cleaning.h"

namespace reference {

namespace {

int neighbour_sum(const Mask& m, int i, int j)
{
    int sum = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx != 0 || dy != 0) sum += m(i + dx, j + dy);
    return sum;
}

void recode(Mask& m, int from, int to)
{
    for (int y = 1; y <= m.height() - 2; ++y)
        for (int x = 1; x <= m.width() - 2; ++x)
            if (m(x, y) == from) m(x, y) = static_cast<std::uint8_t>(to);
}

int count_image_cells(const Mask& m, int value)
{
    int count = 0;
    for (int y = 1; y <= m.height() - 2; ++y)
        for (int x = 1; x <= m.width() - 2; ++x)
            if (m(x, y) == value) ++count;
    return count;
}

}  // namespace

int procedura_diagonale(Mask& m)
{
    int changed = 0;
    for (int y = 1; y <= m.height() - 3; ++y) {
        for (int x = 1; x <= m.width() - 3; ++x) {
            if (m(x, y) == 1 && m(x + 1, y + 1) == 1 && m(x + 1, y) == 0 && m(x, y + 1) == 0) {
                if (neighbour_sum(m, x, y) < neighbour_sum(m, x + 1, y + 1))
                    m(x, y) = 0;
                else
                    m(x + 1, y + 1) = 0;
                changed = 1;
            }
            if (m(x + 1, y) == 1 && m(x, y + 1) == 1 && m(x, y) == 0 && m(x + 1, y + 1) == 0) {
                if (neighbour_sum(m, x, y + 1) < neighbour_sum(m, x + 1, y))
                    m(x, y + 1) = 0;
                else
                    m(x + 1, y) = 0;
                changed = 1;
            }
        }
    }
    return changed;
}

int apertura_canale_tre(Mask& m)
{
    int changed = 0;
    for (int y = 2; y <= m.height() - 3; ++y) {
        for (int x = 2; x <= m.width() - 3; ++x) {
            if (m(x, y) != 1 || neighbour_sum(m, x, y) != 6) continue;
            const int nw = m(x - 1, y - 1), n = m(x, y - 1), ne = m(x + 1, y - 1);
            const int w = m(x - 1, y), e = m(x + 1, y);
            const int sw = m(x - 1, y + 1), s = m(x, y + 1), se = m(x + 1, y + 1);
            if ((nw == 0 && se == 0) || (ne == 0 && sw == 0) || (w == 0 && ne + e + se == 2) ||
                (n == 0 && sw + s + se == 2) || (e == 0 && nw + w + sw == 2) || (s == 0 && nw + n + ne == 2)) {
                m(x, y) = 0;
                changed = 1;
            }
        }
    }
    return changed;
}

int MOD_evidenziazione_blob(Mask& m, int valore, int mark)
{
    bool found = false;
    for (int y = 1; y <= m.height() - 2 && !found; ++y) {
        for (int x = 1; x <= m.width() - 2 && !found; ++x) {
            if (m(x, y) == valore) {
                m(x, y) = 3;
                found = true;
            }
        }
    }
    if (!found) return 0;
    bool front_seen = true;
    while (front_seen) {
        front_seen = false;
        for (int y = 1; y <= m.height() - 2; ++y) {
            for (int x = 1; x <= m.width() - 2; ++x) {
                if (m(x, y) != 3) continue;
                front_seen = true;
                m(x, y) = static_cast<std::uint8_t>(mark);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (m(x + dx, y + dy) == valore) m(x + dx, y + dy) = 3;
            }
        }
    }
    return 1;
}

void eliminazione_blob(Mask& m, int soglia_blob, int valore, int mark)
{
    while (MOD_evidenziazione_blob(m, valore, mark)) {
        const bool small = count_image_cells(m, mark) < soglia_blob;
        if (valore == 1)
            recode(m, mark, small ? 0 : 6);
        else
            recode(m, mark, small ? 1 : 7);
    }
}

void dilate_erode(Mask& m, int soglia_blob)
{
    const int width = m.width();
    const int height = m.height();
    Mask plus(width + 2, height + 2);
    while (MOD_evidenziazione_blob(m, 1, 4)) {
        plus.fill(0);
        for (int y = 1; y <= height - 2; ++y) {
            for (int x = 1; x <= width - 2; ++x) {
                if (m(x, y) == 4) {
                    plus(x + 1, y + 1) = 1;
                    m(x, y) = 0;
                }
            }
        }
        // Dilation. Cells at the buffer's edge never hold 1 (the blob lies on
        // image cells), so their neighbours exist.
        for (int y = 0; y < height + 2; ++y)
            for (int x = 0; x < width + 2; ++x)
                if (plus(x, y) == 1)
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            if (plus(x + dx, y + dy) == 0) plus(x + dx, y + dy) = 2;
        // Erosion, over the buffer without its outermost frame.
        for (int y = 1; y <= height; ++y)
            for (int x = 1; x <= width; ++x)
                if (plus(x, y) == 0)
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            if (plus(x + dx, y + dy) != 0) plus(x + dx, y + dy) = 30;
        // Gaps.
        while (MOD_evidenziazione_blob(plus, 2, 10)) {
            int count = 0;
            for (int y = 1; y <= height; ++y)
                for (int x = 1; x <= width; ++x)
                    if (plus(x, y) == 10) ++count;
            for (int y = 0; y < height + 2; ++y)
                for (int x = 0; x < width + 2; ++x)
                    if (plus(x, y) == 10) plus(x, y) = count < soglia_blob ? 11 : 0;
        }
        for (int y = 1; y <= height; ++y)
            for (int x = 1; x <= width; ++x)
                if (plus(x, y) == 1 || plus(x, y) == 11) m(x - 1, y - 1) = 6;
    }
}

void bridges_and_channels(Mask& m)
{
    while (procedura_diagonale(m)) {
    }
    while (apertura_canale_tre(m)) {
    }
    while (procedura_diagonale(m)) {
    }
}

void remove_small_regions(Mask& m, int soglia_blob)
{
    eliminazione_blob(m, soglia_blob, 1, 4);
    eliminazione_blob(m, soglia_blob, 0, 5);
    recode(m, 6, 1);
    recode(m, 7, 0);
}

void clean_mask(Mask& m, int soglia_blob)
{
    bridges_and_channels(m);
    remove_small_regions(m, soglia_blob);
    dilate_erode(m, soglia_blob);
    recode(m, 6, 1);
}

}  // namespace reference
