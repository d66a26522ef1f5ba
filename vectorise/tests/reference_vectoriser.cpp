#include "reference_vectoriser.h"

#include "blob_search.h"
#include "bmp.h"
#include "box_blob.h"
#include "cell_codes.h"
#include "contour_tracing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

Grid<std::uint8_t> class_map(const std::vector<std::string>& rows_top_down)
{
    const int height = static_cast<int>(rows_top_down.size());
    const int width = height ? static_cast<int>(rows_top_down[0].size()) : 0;
    Grid<std::uint8_t> classes(width, height, test_no_class);
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) {
            const char c = rows_top_down[r][x];
            classes(x, height - 1 - r) = c == '.' ? test_no_class : c == '#' ? 0 : static_cast<std::uint8_t>(c - 'a');
        }
    return classes;
}

namespace {

// Whole work image of one class, built as the procedure reads: mask, then
// doubling cell by cell, growth column by column and row by row, sentinels.
Grid<std::uint8_t> whole_work_image(const Grid<std::uint8_t>& classes, int class_index)
{
    const int width = classes.width(), height = classes.height();
    Grid<std::uint8_t> Immagine(width + 2, height + 2, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) Immagine(x + 1, y + 1) = classes(x, y) == class_index ? 1 : 0;

    const int columns = 2 * width + 4, rows = 2 * height + 4;
    Grid<std::uint8_t> img(columns, rows, 77);
    for (int Y = 1; Y <= height; ++Y)
        for (int X = 1; X <= width; ++X) {
            img(2 * X - 1, 2 * Y - 1) = Immagine(X, Y);
            img(2 * X - 1, 2 * Y) = Immagine(X, Y);
            img(2 * X, 2 * Y - 1) = Immagine(X, Y);
            img(2 * X, 2 * Y) = Immagine(X, Y);
        }
    for (int x = 0; x < columns; ++x)
        for (int y : {0, rows - 3, rows - 2, rows - 1}) img(x, y) = 0;
    for (int y = 0; y < rows; ++y)
        for (int x : {0, columns - 3, columns - 2, columns - 1}) img(x, y) = 0;

    for (int i = 0; i < columns; ++i)
        for (int j = rows - 1; j >= 1; --j)
            if (img(i, j) == 0 && img(i, j - 1) == 1) img(i, j) = 1;
    for (int i = 0; i < rows; ++i)
        for (int j = columns - 1; j >= 1; --j)
            if (img(j, i) == 0 && img(j - 1, i) == 1) img(j, i) = 1;

    for (int y = 0; y < rows; ++y) {
        img(columns - 1, y) = 20;
        img(0, y) = 0;
    }
    for (int x = 0; x < columns; ++x) {
        img(x, 0) = 0;
        img(x, rows - 1) = 0;
    }
    img(0, rows - 1) = 40;
    return img;
}

// The shared-corner marks as the procedure reads: column by column, each
// cell's 3 x 3 neighbourhood against the two patterns (rows from y+1 down).
void filtraggio_by_columns(const BlobBox& box_blob, Grid<std::uint8_t>& img)
{
    static const int pattern[2][3][3] = {{{4, 5, 0}, {5, -1, 5}, {0, 5, 4}}, {{0, 5, 4}, {5, -1, 5}, {4, 5, 0}}};
    for (int x = box_blob.x_min; x <= box_blob.x_max; ++x)
        for (int y = box_blob.y_min; y <= box_blob.y_max; ++y) {
            if (img(x, y) != 5) continue;
            for (const auto& p : pattern) {
                bool match = true;
                for (int r = 0; r < 3; ++r)
                    for (int c = 0; c < 3; ++c)
                        if (p[r][c] >= 0 && img(x - 1 + c, y + 1 - r) != p[r][c]) match = false;
                if (match) {
                    img(x, y) = 10;
                    break;
                }
            }
        }
}

void trace_steps(BlobBox& box_blob, Grid<std::uint8_t>& img, RecordArrays& records)
{
    archivia(box_blob, img);
    const int contorni = MOD_evidenzia_contorno(box_blob, img);
    filtraggio_by_columns(box_blob, img);
    gestore_contorno(contorni, box_blob, img, records);
}

}  // namespace

RecordArrays reference_trace_class(const Grid<std::uint8_t>& classes, int class_index,
                                   std::string* leftovers)
{
    const int width = classes.width(), height = classes.height();
    Grid<std::uint8_t> img = whole_work_image(classes, class_index);
    RecordArrays records;
    BlobBox box_blob{2 * width + 4, 0, 2 * height + 4, 0, 1, 1};
    int found = evidenzia(box_blob, img);
    while (found == 1) {
        trace_steps(box_blob, img, records);
        cancellatore(box_blob, img);
        if (leftovers) {
            for (int y = 1; y < img.height() - 1; ++y)
                for (int x = 0; x < img.width() - 1; ++x)
                    if (img(x, y) > 1) {
                        std::ostringstream text;
                        text << "cell (" << x << ", " << y << ") left at " << int(img(x, y)) << "; ";
                        *leftovers += text.str();
                    }
        }
        box_blob.x_min = 2 * width + 4;
        box_blob.x_max = 0;
        box_blob.y_min = 2 * height + 4;
        box_blob.y_max = 0;
        found = evidenzia(box_blob, img);
    }
    return records;
}

RecordArrays reference_trace_first_blob(const Grid<std::uint8_t>& classes, int class_index)
{
    const int width = classes.width(), height = classes.height();
    Grid<std::uint8_t> img = whole_work_image(classes, class_index);
    RecordArrays records;
    BlobBox box_blob{2 * width + 4, 0, 2 * height + 4, 0, 1, 1};
    evidenzia(box_blob, img);
    trace_steps(box_blob, img, records);
    return records;
}

Grid<std::uint8_t> random_class_map(std::mt19937& rng, int width, int height, int classes)
{
    Grid<std::uint8_t> map(width, height, test_no_class);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto any_class = [&]() { return static_cast<std::uint8_t>(pick(classes)); };
    switch (pick(4)) {
    case 0: {  // scattered pixels of some density
        const int density = 1 + pick(9);
        for (auto& c : map.cells())
            if (pick(10) < density) c = any_class();
        break;
    }
    case 1: {  // clumps: random rectangles, some hollowed
        const int count = 1 + pick(12);
        for (int i = 0; i < count; ++i) {
            const int x0 = pick(width), y0 = pick(height);
            const int x1 = std::min(width - 1, x0 + pick(8)), y1 = std::min(height - 1, y0 + pick(8));
            const std::uint8_t c = any_class();
            const bool hollow = pick(2) == 0;
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    if (!hollow || x == x0 || x == x1 || y == y0 || y == y1) map(x, y) = c;
        }
        for (auto& c : map.cells())
            if (pick(12) == 0) c = pick(3) == 0 ? test_no_class : any_class();
        break;
    }
    case 2: {  // checkerboard patches: diagonal contacts everywhere
        const std::uint8_t c = any_class();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((x + y) % 2 == 0 && pick(6) != 0) map(x, y) = c;
                else if (pick(4) == 0) map(x, y) = any_class();
        break;
    }
    default: {  // nested rings around a centre: holes with islands
        const int cx = pick(width), cy = pick(height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int d = std::max(std::abs(x - cx), std::abs(y - cy));
                if (d % 2 == 0) map(x, y) = static_cast<std::uint8_t>((d / 2) % classes);
            }
        for (auto& c : map.cells())
            if (pick(15) == 0) c = pick(2) == 0 ? test_no_class : any_class();
        break;
    }
    }
    return map;
}

std::vector<std::vector<Ring>> records_as_rings(const RecordArrays& records)
{
    std::vector<std::vector<Ring>> result;
    for (const auto& layout : records.record_layouts()) {
        std::vector<Ring> rings;
        for (int p = 0; p < layout.parts; ++p) {
            const int first = records.part[layout.part_index + 2 + p];
            const int end = p + 1 < layout.parts ? records.part[layout.part_index + 3 + p] : layout.points;
            Ring ring;
            for (int v = first; v < end; ++v)
                ring.emplace_back(records.point[layout.point_index + 2 * v], records.point[layout.point_index + 2 * v + 1]);
            rings.push_back(ring);
        }
        result.push_back(rings);
    }
    return result;
}

Grid<std::uint8_t> even_odd_coverage(const RecordArrays& records, int width, int height)
{
    Grid<std::uint8_t> covered(width, height, 0);
    for (const auto& rings : records_as_rings(records))
        for (const auto& ring : rings)
            for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
                // A vertical edge at x flips every pixel centre to its right
                // on the rows it spans.
                const auto [x0, y0] = ring[i];
                const auto [x1, y1] = ring[i + 1];
                if (x0 != x1) continue;
                const int low = static_cast<int>(std::min(y0, y1)), high = static_cast<int>(std::max(y0, y1));
                for (int y = low; y < high; ++y)
                    for (int x = static_cast<int>(x0); x < width; ++x) covered(x, y) ^= 1;
            }
    return covered;
}

Grid<std::uint8_t> class_mask(const Grid<std::uint8_t>& classes, int class_index)
{
    Grid<std::uint8_t> mask(classes.width(), classes.height(), 0);
    for (std::size_t i = 0; i < mask.cells().size(); ++i) mask.cells()[i] = classes.cells()[i] == class_index;
    return mask;
}

bool census_by_columns(const Grid<std::int32_t>& Matrice, std::vector<std::int32_t>& colori, int max_colours)
{
    colori.clear();
    for (int x = 0; x < Matrice.width(); ++x)
        for (int y = 0; y < Matrice.height(); ++y) {
            const std::int32_t v = Matrice(x, y);
            if (is_grey(v) || std::find(colori.begin(), colori.end(), v) != colori.end()) continue;
            if (static_cast<int>(colori.size()) == max_colours) return false;
            colori.push_back(v);
        }
    return true;
}

TestConsole::TestConsole(const std::string& input) : file(std::tmpfile()), console(file)
{
    std::fputs(input.c_str(), file);
    std::rewind(file);
}

TestConsole::~TestConsole()
{
    std::fclose(file);
}
