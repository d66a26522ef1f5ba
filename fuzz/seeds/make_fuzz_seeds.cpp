// Writes the seed corpora of the fuzz targets, one folder per target under
// the folder given, from the kinds of input the tests use: BMPs in the
// suite's layout and in the variants other tools write, masks, RAW rasters
// with their ".dim", world files, segments and crossroads files, parameter
// files and typed answers. The same files on every run.
//
//   make_fuzz_seeds <folder>
#include "bmp_builder.h"
#include "test_support.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using namespace testsupport;

namespace {

const std::string marker = "#@#";

class Corpus {
public:
    Corpus(const std::string& root, const std::string& target) : folder_(root + "/" + target)
    {
        std::filesystem::create_directories(folder_);
    }
    void add(const std::string& name, const Bytes& bytes) { write_bytes(folder_ + "/" + name, bytes); }
    void add(const std::string& name, const std::string& text) { add(name, Bytes(text.begin(), text.end())); }

private:
    std::string folder_;
};

Bytes text_bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes joined(const std::vector<Bytes>& files)
{
    Bytes out;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0) out.insert(out.end(), marker.begin(), marker.end());
        out.insert(out.end(), files[i].begin(), files[i].end());
    }
    return out;
}

std::vector<std::uint8_t> ramp(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 37);
    return pixels;
}

// A black background with a block of `value` in its middle.
std::vector<std::uint8_t> block_mask(int width, int height, std::uint8_t value)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height, 0);
    for (int y = height / 4; y < height * 3 / 4; ++y)
        for (int x = width / 4; x < width * 3 / 4; ++x) pixels[static_cast<std::size_t>(y) * width + x] = value;
    return pixels;
}

// The BMP inputs of the readers' tests: the suite's layout at every padding,
// class maps, masks, the variants of other tools, and broken headers.
void bmp_seeds(Corpus& c)
{
    for (int width : {4, 5, 6, 7}) c.add("grey_" + std::to_string(width) + "x3.bmp", make_bmp(width, 3, ramp(width, 3), grey_palette()));
    Palette classes = grey_palette();
    classes[1] = 0xFF0000;
    classes[2] = 0x00C000;
    c.add("class_map.bmp", make_bmp(9, 6, block_mask(9, 6, 1), classes));
    c.add("mask.bmp", make_bmp(12, 10, block_mask(12, 10, 255), grey_palette()));
    c.add("mask_all_black.bmp", make_bmp(5, 4, std::vector<std::uint8_t>(20, 0), grey_palette()));
    std::vector<std::uint8_t> three = block_mask(8, 8, 255);
    three[0] = 128;
    c.add("mask_three_values.bmp", make_bmp(8, 8, three, grey_palette()));

    BmpLayout v5;
    v5.info_header_size = 124;
    c.add("v5_header.bmp", make_bmp(6, 5, block_mask(6, 5, 200), grey_palette(), v5));
    BmpLayout short_palette;
    short_palette.palette_entries = 2;
    c.add("short_palette.bmp", make_bmp(7, 4, block_mask(7, 4, 1), {0x000000, 0xFFFFFF}, short_palette));
    BmpLayout top_down;
    top_down.top_down = true;
    c.add("top_down.bmp", make_bmp(5, 5, block_mask(5, 5, 255), grey_palette(), top_down));
    BmpLayout gap;
    gap.extra_gap = 6;
    c.add("data_after_gap.bmp", make_bmp(3, 3, ramp(3, 3), grey_palette(), gap));

    Bytes bpp24 = make_bmp(4, 2, ramp(4, 2), grey_palette());
    bpp24[28] = 24;
    c.add("bits_24.bmp", bpp24);
    Bytes truncated = make_bmp(16, 16, ramp(16, 16), grey_palette());
    truncated.resize(truncated.size() - 40);
    c.add("truncated.bmp", truncated);
    c.add("header_only.bmp", Bytes(truncated.begin(), truncated.begin() + 54));
    c.add("not_bmp.bmp", text_bytes("P5\n2 2\n255\n"));
}

Bytes dim_text(int width, int height) { return text_bytes(std::to_string(width) + "\t" + std::to_string(height) + "\n"); }

void murgel_raw_seeds(Corpus& c)
{
    const std::vector<std::uint8_t> mask = block_mask(12, 10, 255);
    c.add("mask", joined({dim_text(12, 10), Bytes(mask.begin(), mask.end())}));
    const std::vector<std::uint8_t> small = block_mask(4, 3, 1);
    c.add("two_lines_dim", joined({text_bytes("4\n3\n"), Bytes(small.begin(), small.end())}));
    c.add("all_zero", joined({dim_text(4, 3), Bytes(12, 0)}));
    Bytes three(12, 0);
    three[3] = 200;
    three[4] = 201;
    c.add("three_values", joined({dim_text(4, 3), three}));
    c.add("no_zero", joined({dim_text(2, 2), Bytes(4, 9)}));
    c.add("short_raw", joined({dim_text(8, 8), Bytes(20, 0)}));
    c.add("negative_dim", joined({text_bytes("-4 3"), Bytes(12, 0)}));
    c.add("no_dim", Bytes(12, 0));
}

void world_file_seeds(Corpus& c)
{
    c.add("north_up.bpw", std::string("2\n0\n0\n-2\n1000\n5000\n"));
    c.add("utm.bpw", std::string("0.5\r\n0.0\r\n0.0\r\n-0.5\r\n512345.25\r\n4987654.75\r\n"));
    c.add("five_numbers.bpw", std::string("1 0 0 -1 10\n"));
    c.add("exponents.bpw", std::string("1e-1 0 0 -1E-1 5.12345e5 4.9e6 trailing words\n"));
}

void envi_header_seeds(Corpus& c)
{
    // The name comes first; extent and values are taken from the end.
    Bytes heights = text_bytes("town_raise");
    for (int i = 0; i < 40; ++i) heights.push_back(static_cast<unsigned char>(i * 7));
    c.add("height_form", heights);
    Bytes zone = text_bytes("zones_stat.raw");
    for (int i = 0; i < 24; ++i) zone.push_back(static_cast<unsigned char>(255 - i * 5));
    c.add("zone_form", zone);
    c.add("short_name", text_bytes("ab\x04\x03"));
}

std::string vorlix_segments_file(int count)
{
    std::string text;
    char line[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "%5d %5d %5d %5d %5.2f\r\n", i % 50, i / 50, i % 50 + 9, i / 50 + 4, i * 0.37);
        text += line;
    }
    return text;
}

void segments_seeds(Corpus& c)
{
    c.add("vorlix.txt", vorlix_segments_file(12));
    c.add("growth.txt", vorlix_segments_file(240));
    c.add("four_values.txt", std::string("0 0 60 46\n10.5 3 -4 40\n100 100 -20 -9\n"));
    c.add("misaligned.txt", std::string("1 2 3 4\n5 6 7 8 9\n1 2 3\n"));
    c.add("stray_word.txt", std::string("1 2 3 4 5\n6 7 8 9 10\nend\n11 12 13 14 15\n"));
    c.add("long_first_line.txt", std::string("100000.000 200000.000 300000.000 400000.000 5\n"));
    c.add("six_values.txt", std::string("1 2 3 4 5 6\n"));
    c.add("exponents.txt", std::string("1e3 -2.5E-1 3e38 4e-45\n"));
}

Bytes float_raster(int width, int height, float level, int cx, int cy, float block)
{
    Bytes bytes;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float v = std::abs(x - cx) <= 2 && std::abs(y - cy) <= 2 ? block : level;
            unsigned char b[4];
            std::memcpy(b, &v, 4);
            bytes.insert(bytes.end(), b, b + 4);
        }
    return bytes;
}

void kestrom_seeds(Corpus& c)
{
    const Bytes dtm = float_raster(24, 24, 100.0f, 12, 12, 104.0f);
    c.add("crossing", joined({dim_text(24, 24), dtm, text_bytes("7 7 17 17 7 17 17 7\n")}));
    c.add("vertical_horizontal", joined({dim_text(24, 24), dtm, text_bytes("12 0 12 20 0 12 20 12\n")}));
    c.add("parallel_and_incomplete",
          joined({dim_text(24, 24), dtm, text_bytes("0 0 10 0 0 5 10 5\n2 0 2 9 7 1 7 8\n1 2 3\n")}));
    c.add("near_edge", joined({dim_text(24, 24), dtm, text_bytes("-0.5 0 -0.5 9 0 1 5 1 word")}));
    c.add("short_raster", joined({dim_text(24, 24), Bytes(dtm.begin(), dtm.begin() + 100), text_bytes("1 1 2 2 1 2 2 1")}));
}

// A dark diagonal line on a lighter ground.
Bytes line_image(int width, int height)
{
    Bytes bytes(static_cast<std::size_t>(width) * height, 180);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (std::abs(x - y) <= 1) bytes[static_cast<std::size_t>(y) * width + x] = 40;
    return bytes;
}

void vorlix_seeds(Corpus& c)
{
    const Bytes image = line_image(20, 20);
    c.add("defaults", joined({text_bytes("20 20"), image}));
    c.add("parameters", joined({text_bytes("20 20"), image, text_bytes("3 9 3 0.9 0.92 210 8 16 1000 1.35 1.35 1.5\n")}));
    c.add("three_values", joined({text_bytes("20 20"), image, text_bytes("5 10 5\n")}));
    c.add("zero_step", joined({text_bytes("20 20"), image, text_bytes("5 10 0 0.9\n")}));
    c.add("all_zero", joined({text_bytes("8 4"), Bytes(32, 0)}));
    c.add("size_mismatch", joined({text_bytes("10 10"), Bytes(99, 7)}));
}

void console_seeds(Corpus& c)
{
    c.add("stelvar", std::string("image.bmp\n0\n255\n64\ns\n"));
    c.add("wrong_mode", std::string("image.bmp extra words\n10\n20.5\n5\nx\nS\nn\n"));
    c.add("numbers", std::string("-12abc +7 3.25e2 1e 1e+ .5 - 99999999999\n"));
    c.add("crlf", std::string("name\r\n42\r\n"));
    c.add("ends_early", std::string("name\n12"));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <folder>\n");
        return 1;
    }
    const std::string root = argv[1];
    // Each target and the seeds it starts from.
    const std::pair<const char*, void (*)(Corpus&)> targets[] = {
        {"bmp_colour", bmp_seeds},
        {"stelvar_bmp", bmp_seeds},
        {"murgel_bmp", bmp_seeds},
        {"murgel_raw", murgel_raw_seeds},
        {"world_file", world_file_seeds},
        {"envi_header", envi_header_seeds},
        {"segments", segments_seeds},
        {"kestrom", kestrom_seeds},
        {"vorlix", vorlix_seeds},
        {"console", console_seeds},
    };
    for (const auto& [target, seeds] : targets) {
        Corpus corpus(root, target);
        seeds(corpus);
    }
    return 0;
}
