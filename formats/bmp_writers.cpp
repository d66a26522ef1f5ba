// The writers of 8-bit palette BMP files, all in the suite's one layout.
#include "bmp.h"
#include "bmp_file.h"

#include <algorithm>
#include <cstring>
#include <new>

std::array<std::uint8_t, 1024> grey_palette()
{
    std::array<std::uint8_t, 1024> palette{};
    for (int i = 0; i < 256; ++i) {
        palette[4 * i] = palette[4 * i + 1] = palette[4 * i + 2] = static_cast<std::uint8_t>(i);
        palette[4 * i + 3] = 0;
    }
    return palette;
}

std::array<std::uint8_t, 1024> zone_palette()
{
    // Entry 0 black, 1..15 greys for uncovered pixels, 16..254 a ramp from
    // pure blue towards pale blue, 255 white.
    static const std::uint8_t greys[15] = {64, 128, 32, 96, 16, 48, 80, 112, 8, 24, 40, 56, 72, 88, 104};
    std::array<std::uint8_t, 1024> palette{};
    for (int i = 1; i <= 15; ++i) palette[4 * i] = palette[4 * i + 1] = palette[4 * i + 2] = greys[i - 1];
    for (int i = 16; i <= 254; ++i) {
        palette[4 * i] = 255;
        palette[4 * i + 1] = palette[4 * i + 2] = static_cast<std::uint8_t>(i - 16);
    }
    palette[4 * 255] = palette[4 * 255 + 1] = palette[4 * 255 + 2] = palette[4 * 255 + 3] = 255;
    return palette;
}

namespace {

// Streams the rows; a band buffer that cannot be held is not enough memory.
template <typename FillRow>
std::error_code write_bmp(const std::string& path, int width, int height, const std::array<std::uint8_t, 1024>& palette,
                          FillRow fill_row)
{
    try {
        return write_bmp_file(path, bmp_header_and_palette(width, height, palette), width, height, fill_row);
    } catch (const std::bad_alloc&) {
        return std::make_error_code(std::errc::not_enough_memory);
    }
}

}  // namespace

std::error_code bmp_grayscale256_create(const std::string& nome, const Grid<std::uint8_t>& Immagine)
{
    const int width = Immagine.width();
    const int height = Immagine.height();
    return write_bmp(nome, width, height, grey_palette(),
                     [&](int r, unsigned char* out) { std::memcpy(out, Immagine.row(height - 1 - r), width); });
}

std::error_code bmp_256_create(const std::string& nome, const Grid<std::uint8_t>& Immagine, MaskFileState& state,
                               bool pal)
{
    if (!pal) state.palette = grey_palette();
    const MaskIndices indices = mask_indices(state);
    const int W = std::max(0, Immagine.width() - 2);
    const int H = std::max(0, Immagine.height() - 2);
    return write_bmp(nome, W, H, state.palette, [&](int r, unsigned char* out) {
        const std::uint8_t* src = Immagine.row(H - r) + 1;
        for (int x = 0; x < W; ++x) out[x] = src[x] == 1 ? indices.foreground : indices.background;
    });
}

MaskIndices mask_indices(const MaskFileState& state)
{
    // The lowest black entry of the palette stands for the background.
    int background = 0;
    for (int i = 255; i >= 0; --i)
        if (is_black(state.palette, i)) background = i;
    // A foreground written with the background's index would vanish (an
    // input that had no foreground gives 0): take the highest entry that is
    // not black instead.
    std::uint8_t foreground = state.b_value;
    if (foreground == background)
        for (int i = 255; i >= 0; --i)
            if (!is_black(state.palette, i)) {
                foreground = static_cast<std::uint8_t>(i);
                break;
            }
    return {static_cast<std::uint8_t>(background), foreground};
}

std::error_code bmp_256_create(const std::string& nome, const Grid<std::uint8_t>& Immagine)
{
    const int width = Immagine.width();
    return write_bmp(nome, width, Immagine.height(), zone_palette(),
                     [&](int r, unsigned char* out) { std::memcpy(out, Immagine.row(r), width); });
}
