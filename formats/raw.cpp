// Headerless RAW rasters with their ".dim" and ENVI ".hdr" companions.
#include "raw.h"

#include "byte_order.h"
#include "file.h"
#include "number_scanner.h"
#include "paths.h"
#include "platform.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <new>

bool read_dim_file(const std::string& path, int& width, int& height)
{
    File file = open_file(path, "rb");
    if (!file) return false;
    // "%d%d"; a number beyond the int range is no extent.
    FileSource in(file.get());
    const std::optional<int> w = scan_int(in, OutOfRange::fail);
    const std::optional<int> h = w ? scan_int(in, OutOfRange::fail) : std::nullopt;
    if (!h) return false;
    width = *w;
    height = *h;
    return true;
}

std::error_code write_dim_file(const std::string& path, int width, int height)
{
    WrittenFile file(path);
    file.write(std::to_string(width) + "\t" + std::to_string(height) + "\n");
    return file.finish();
}

namespace {

// A character that would end an ENVI description early or break its line.
bool breaks_envi_description(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '{' || c == '}';
}

}  // namespace

bool envi_description_usable(const std::string& description)
{
    return std::none_of(description.begin(), description.end(), breaks_envi_description);
}

std::string envi_description_of(const std::string& name)
{
    std::string description = name;
    std::replace_if(description.begin(), description.end(), breaks_envi_description, '_');
    return description;
}

std::error_code write_envi_header(const std::string& path, const std::string& description, int width, int height,
                                  const EnviHeaderOptions& options)
{
    std::string text = "ENVI\n"
                       "description = {" + description + ".}\n"
                       "samples = " + std::to_string(width) + "\n"
                       "lines = " + std::to_string(height) + "\n"
                       "bands = 1\n"
                       "header offset = 0\n"
                       "file type = ENVI Standard\n"
                       "data type = " + std::to_string(options.data_type) + "\n"
                       "interleave = bsq\n"
                       "sensor type = Unknown\n"
                       "byte order = 0\n";
    for (const std::string& line : options.extra_lines) text += line + "\n";
    WrittenFile file(path);
    file.write(text);
    return file.finish();
}

bool read_raw_bytes(const std::string& path, std::size_t count, std::vector<unsigned char>& bytes)
{
    File file = open_file(path, "rb");
    if (!file) return false;
    const auto size = file_size(file.get());
    if (!size || *size < count) return false;
    bytes.resize(count);
    return count == 0 || std::fread(bytes.data(), 1, count, file.get()) == count;
}

namespace {

// Writes a whole buffer to a new file.
std::error_code write_whole(const std::string& path, const void* data, std::size_t size)
{
    WrittenFile file(path);
    file.write(data, size);
    return file.finish();
}

// Float samples in file order (little-endian), rows from y = H-1 down to 0.
std::vector<unsigned char> bottom_up_float_rows(const Grid<float>& Immagine)
{
    const int W = Immagine.width();
    const int H = Immagine.height();
    std::vector<unsigned char> bytes(static_cast<std::size_t>(W) * H * 4);
    unsigned char* out = bytes.data();
    for (int y = H - 1; y >= 0; --y) {
        const float* row = Immagine.row(y);
        for (int x = 0; x < W; ++x, out += 4) byte_order::put_le_float(out, row[x]);
    }
    return bytes;
}

}  // namespace

std::error_code write_raw_bytes(const std::string& path, const Grid<std::uint8_t>& image)
{
    return write_whole(path, image.cells().data(), image.cells().size());
}

std::error_code write_raw_floats(const std::string& path, const Grid<float>& image)
{
    std::vector<unsigned char> bytes(image.cells().size() * 4);
    unsigned char* out = bytes.data();
    for (float v : image.cells()) {
        byte_order::put_le_float(out, v);
        out += 4;
    }
    return write_whole(path, bytes.data(), bytes.size());
}

RasterProblem read_dim_extent(const std::optional<std::string>& dim_path, int& width, int& height)
{
    if (!dim_path || !open_file(*dim_path, "rb")) return {RasterProblem::Kind::dim_cannot_open, dim_path.value_or("")};
    if (!read_dim_file(*dim_path, width, height) || width < 0 || height < 0)
        return {RasterProblem::Kind::dim_invalid, *dim_path};
    return {};
}

bool read_raw_bottom_up(std::FILE* file, int bit_number, int width, int height, Grid<float>& image)
{
    image.resize(width, height);
    // A raster without pixels reads nothing, however many rows its ".dim"
    // gives it.
    if (image.empty()) return true;
    const std::size_t bytes_per_pixel = static_cast<std::size_t>(bit_number / 8);
    std::vector<unsigned char> row_bytes(static_cast<std::size_t>(width) * bytes_per_pixel);
    for (int r = 0; r < height; ++r) {
        if (std::fread(row_bytes.data(), 1, row_bytes.size(), file) != row_bytes.size()) return false;
        float* row = image.row(height - 1 - r);
        const unsigned char* in = row_bytes.data();
        for (int x = 0; x < width; ++x, in += bytes_per_pixel) {
            switch (bit_number) {
            case 8: row[x] = in[0]; break;
            case 16: row[x] = static_cast<std::int16_t>(byte_order::get_le16(in)); break;
            default: row[x] = byte_order::get_le_float(in); break;
            }
        }
    }
    return true;
}

RasterProblem raw_8bit_open(const std::string& nome, Grid<std::uint8_t>& Immagine, MaskFileState& state)
{
    using Kind = RasterProblem::Kind;
    File raw = open_file(nome, "rb");
    if (!raw) return Kind::cannot_open;
    int W = 0, H = 0;
    if (auto problem = read_dim_extent(replace_last_chars(nome, 3, "dim"), W, H)) return problem;
    const std::uint64_t count = static_cast<std::uint64_t>(W) * static_cast<std::uint64_t>(H);
    const auto size = file_size(raw.get());
    if (!size || *size != count) return {Kind::size_mismatch, nome, W, H};

    std::vector<unsigned char> bytes;
    try {
        bytes.resize(count);
    } catch (const std::bad_alloc&) {
        return Kind::out_of_memory;
    }
    if (count > 0 && std::fread(bytes.data(), 1, count, raw.get()) != count) return {Kind::size_mismatch, nome, W, H};
    return mask_from_samples(bytes.data(), W, H, Immagine, state);
}

RasterProblem mask_from_samples(const std::uint8_t* samples, int W, int H, Grid<std::uint8_t>& Immagine,
                                MaskFileState& state)
{
    using Kind = RasterProblem::Kind;
    const std::uint8_t* end = samples + static_cast<std::size_t>(W) * static_cast<std::size_t>(H);
    if (std::find(samples, end, 0) == end) return Kind::no_black_background;
    const auto first = std::find_if(samples, end, [](std::uint8_t v) { return v != 0; });
    const std::uint8_t foreground = first == end ? 0 : *first;
    if (std::find_if(samples, end, [&](std::uint8_t v) { return v != 0 && v != foreground; }) != end)
        return Kind::more_than_two_values;

    // Allocated only now: an image without pixels has been refused above,
    // however large the other extent its ".dim" gives.
    if (!resize_bordered(Immagine, W, H)) return Kind::out_of_memory;
    state.b_value = foreground;
    for (int y = 0; y < H; ++y) {
        const std::uint8_t* src = samples + static_cast<std::size_t>(y) * W;
        std::uint8_t* dst = Immagine.row(y + 1) + 1;
        for (int x = 0; x < W; ++x) dst[x] = src[x] != 0 ? 1 : 0;
    }
    return {};
}

namespace {

// The samples, then the header; the first file that fails ends the writing.
std::optional<RasterWriteProblem> write_raster(const RasterFiles& files, const std::vector<unsigned char>& samples,
                                               const std::function<std::error_code(const std::string&)>& write_header)
{
    if (const std::error_code error = write_whole(files.samples, samples.data(), samples.size()))
        return RasterWriteProblem{false, error};
    if (const std::error_code error = write_header(files.header)) return RasterWriteProblem{true, error};
    return std::nullopt;
}

const RasterWriteProblem samples_out_of_memory{false, std::make_error_code(std::errc::not_enough_memory)};

std::optional<RasterWriteProblem> write_float_raster(const RasterFiles& files, const std::string& description,
                                                     const Grid<float>& Immagine, const EnviHeaderOptions& header = {})
{
    std::vector<unsigned char> bytes;
    try {
        bytes = bottom_up_float_rows(Immagine);
    } catch (const std::bad_alloc&) {
        return samples_out_of_memory;
    }
    return write_raster(files, bytes, [&](const std::string& header_path) {
        return write_envi_header(header_path, description, Immagine.width(), Immagine.height(), header);
    });
}

}  // namespace

std::optional<RasterWriteProblem> raw_8bit_create(const RasterFiles& nome, const Grid<std::uint8_t>& Immagine,
                                                  const MaskFileState& state)
{
    const int W = std::max(0, Immagine.width() - 2);
    const int H = std::max(0, Immagine.height() - 2);
    // A foreground of 0 would be indistinguishable from the background.
    const std::uint8_t foreground = state.b_value != 0 ? state.b_value : 255;
    std::vector<unsigned char> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(W) * H);
    } catch (const std::bad_alloc&) {
        return samples_out_of_memory;
    }
    for (int y = 1; y <= H; ++y) {
        const std::uint8_t* src = Immagine.row(y) + 1;
        unsigned char* dst = bytes.data() + static_cast<std::size_t>(y - 1) * W;
        for (int x = 0; x < W; ++x) dst[x] = src[x] == 1 ? foreground : 0;
    }
    return write_raster(nome, bytes, [&](const std::string& header) { return write_dim_file(header, W, H); });
}

void keep_building_heights(Grid<float>& Immagine, const Grid<std::int32_t>& Matrice_building,
                           std::int32_t building_colour)
{
    const int W = Immagine.width();
    const int H = Immagine.height();
    for (int y = 0; y < H; ++y) {
        float* row = Immagine.row(y);
        const std::int32_t* building = Matrice_building.row(H - 1 - y);
        for (int x = 0; x < W; ++x)
            if (row[x] > 0 && building[x] != building_colour) row[x] = 0;
    }
}

std::optional<RasterWriteProblem> raw_32bit_create(const RasterFiles& nome, const std::string& description,
                                                   Grid<float>& Immagine, const Grid<std::int32_t>& Matrice_building,
                                                   std::int32_t building_colour,
                                                   const std::vector<std::string>& header_lines)
{
    keep_building_heights(Immagine, Matrice_building, building_colour);
    return write_float_raster(nome, description, Immagine, {4, header_lines});
}

std::optional<RasterWriteProblem> raw_32bit_create(const RasterFiles& nome, const std::string& description,
                                                   const Grid<float>& Immagine)
{
    return write_float_raster(nome, description, Immagine);
}

std::string envi_header_name(const std::string& raw_name)
{
    return replace_last_chars(raw_name, 3, "hdr").value_or(raw_name + ".hdr");
}

std::string zone_raster_base(const std::string& raw_name)
{
    return drop_last_chars(raw_name, 4);
}

RasterProblem raw_32bit_open(const std::string& nome, Grid<float>& Immagine, int w, int h)
{
    using Kind = RasterProblem::Kind;
    File file = open_file(nome, "rb");
    if (!file) return Kind::cannot_open;
    if (w < 0 || h < 0) return {Kind::negative_size, nome, w, h};
    const std::uint64_t count = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);
    const auto size = file_size(file.get());
    if (!size || *size != 4 * count) return {Kind::size_mismatch, nome, w, h};
    std::vector<unsigned char> bytes;
    try {
        bytes.resize(4 * count);
        Immagine.resize(w, h);
    } catch (const std::bad_alloc&) {
        return Kind::out_of_memory;
    }
    if (count == 0) return {};  // no sample, however many rows of width 0
    if (std::fread(bytes.data(), 4, count, file.get()) != count) return {Kind::size_mismatch, nome, w, h};
    const unsigned char* in = bytes.data();
    for (int y = 0; y < h; ++y) {
        float* row = Immagine.row(y);
        for (int x = 0; x < w; ++x, in += 4) row[x] = byte_order::get_le_float(in);
    }
    return {};
}
