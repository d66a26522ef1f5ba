// The two readers of 8-bit palette BMP files: packed colours for class maps,
// and the bordered 0/1 mask of a two-valued image on a black background.
#include "bmp.h"
#include "bmp_file.h"

#include <climits>
#include <new>

RasterProblem bmp_grayscale256_open(const std::string& nome_file, Grid<std::int32_t>& Matrice, Extent& dim,
                                    BmpPalette* palette)
{
    BmpRowReader reader;
    BmpProblem problem = reader.open(nome_file);
    if (problem != BmpProblem::none) return problem;
    std::int32_t colour[256];
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* entry = reader.palette().data() + 4 * i;
        colour[i] = entry[0] + 256 * entry[1] + 65536 * entry[2];
    }
    try {
        Matrice.resize(reader.width(), reader.height());
        const int width = reader.width();
        problem = reader.read_rows([&](int y, const std::uint8_t* row) {
            std::int32_t* out = Matrice.row(y);
            for (int x = 0; x < width; ++x) out[x] = colour[row[x]];
        });
    } catch (const std::bad_alloc&) {
        problem = BmpProblem::out_of_memory;
    }
    if (problem == BmpProblem::none) {
        dim = {reader.width(), reader.height()};
        if (palette) *palette = reader.palette();
    }
    return problem;
}

int palette_index_of(const BmpPalette& palette, std::int32_t packed)
{
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* entry = palette.data() + 4 * i;
        if (entry[0] + 256 * entry[1] + 65536 * entry[2] == packed) return i;
    }
    return -1;
}

bool resize_bordered(Grid<std::uint8_t>& Immagine, int W, int H)
{
    if (W > INT_MAX - 2 || H > INT_MAX - 2) return false;
    try {
        Immagine.resize(W + 2, H + 2, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

RasterProblem bmp_256_open(const std::string& nome, Grid<std::uint8_t>& Immagine, MaskFileState& state)
{
    BmpIndices image;
    const BmpProblem problem = read_bmp_indices(nome, image);
    if (problem != BmpProblem::none) return problem;
    return mask_from_indices(image, Immagine, state);
}

RasterProblem mask_from_indices(const BmpIndices& image, Grid<std::uint8_t>& Immagine, MaskFileState& state)
{
    const int W = image.indices.width();
    const int H = image.indices.height();
    // Pixels in file order: bottom row of the picture first, left to right.
    // An image without pixels has none, however many empty rows it gives.
    auto first_in_file_order = [&](auto accept) -> int {
        if (W == 0) return -1;
        for (int y = H - 1; y >= 0; --y) {
            const std::uint8_t* row = image.indices.row(y);
            for (int x = 0; x < W; ++x)
                if (accept(row[x])) return row[x];
        }
        return -1;
    };

    const int background = first_in_file_order([&](std::uint8_t v) { return is_black(image.palette, v); });
    if (background < 0) return BmpProblem::no_black_background;
    int foreground = first_in_file_order([&](std::uint8_t v) { return v != background; });
    if (foreground < 0) foreground = 0;
    if (first_in_file_order([&](std::uint8_t v) { return v != background && v != foreground; }) >= 0)
        return BmpProblem::more_than_two_values;

    if (!resize_bordered(Immagine, W, H)) return BmpProblem::out_of_memory;
    for (int y = 0; y < H; ++y) {
        const std::uint8_t* src = image.indices.row(y);
        std::uint8_t* dst = Immagine.row(y + 1) + 1;
        for (int x = 0; x < W; ++x) dst[x] = src[x] != background ? 1 : 0;
    }
    state.palette = image.palette;
    state.b_value = static_cast<std::uint8_t>(foreground);
    return {};
}
