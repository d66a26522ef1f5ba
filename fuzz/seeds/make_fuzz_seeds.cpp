// Writes the seed corpora of the fuzz targets, one folder per target under
// the folder given, from the kinds of input the tests use: BMPs in the
// suite's layout and in the variants other tools write, masks, RAW rasters
// with their ".dim", world files, segments and crossroads files, parameter
// files and typed answers, polygon shapefiles and class maps. The same files
// on every run.
//
//   make_fuzz_seeds <folder>
#include "bmp_builder.h"
#include "fuzz_support.h"
#include "shapefile_builder.h"
#include "test_support.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using namespace testsupport;

namespace {

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
        if (i > 0) out.insert(out.end(), fuzzing::section_marker.begin(), fuzzing::section_marker.end());
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

void talvern_parameters_seeds(Corpus& c)
{
    c.add("all_four.txt", std::string("max_gap_building_shadow = 5\nmax_lenght_shadow = 35\n"
                                      "min_perc_shadow_sample = 60\nmax_perc_deviation_sample = 15\n"));
    c.add("crlf.txt", std::string("max_perc_deviation_sample = 25\r\nmax_gap_building_shadow = 2\r\n"));
    c.add("no_blank_before_equals.txt", std::string("max_lenght_shadow= 35\n"));
    c.add("no_integer.txt", std::string("max_lenght_shadow = abc\nmin_perc_shadow_sample = -12\nmax_gap_building_shadow ="));
    c.add("repeated.txt", std::string("max_lenght_shadow = 10\nmax_lenght_shadow = +40\nmax_lenght_shadow = x\n"));
    c.add("comments.txt", std::string("# lengths = pixels\nmax_gap_building_shadow = 7 # seven\n\tmin_perc_shadow_sample =\t\n 80\n"));
    c.add("out_of_range.txt", std::string("max_lenght_shadow = 99999999999999\nmax_gap_building_shadow = -2147483649\n"));
    c.add("cut_key.txt", std::string("max_gap_building_shadow = 4\nmax_lenght_sha"));
    c.add("lone_cr.txt", std::string("max_gap_building_shadow = 4\rmax_lenght_shadow = 9\r"));
}

// Polygon shapefiles in the pixel units of the fuzz target's 16 x 12
// background (no world file), with the function after the marker; a third
// section is the background's world file.
void zonrik_shapefile_seeds(Corpus& c)
{
    auto shapefile = [](const std::vector<TestRecord>& records, const std::string& function) {
        const Bytes shp = polygon_shapefile(records);
        return joined({shp, text_bytes(function)});
    };
    const TestRecord square({test_rectangle(2.5, 3.5, 6.5, 7.5)});
    const TestRecord with_hole({test_rectangle(1, 1, 9, 9), test_rectangle(3, 3, 6, 6)});
    const TestRecord triangle({{{1.2, 1.7}, {11.9, 2.3}, {6.1, 10.4}, {1.2, 1.7}}});
    c.add("square_mean", shapefile({square}, "mean"));
    c.add("hole_variance", shapefile({with_hole}, "variance"));
    c.add("cover", shapefile({square, triangle, with_hole}, "c_cover\n80\n20\n"));
    c.add("cover_no_answers", shapefile({square}, "c_cover"));
    c.add("temperature", shapefile({triangle, square}, "sp_temp"));
    c.add("log_mean", shapefile({triangle}, "lmean"));
    c.add("log_variance", shapefile({with_hole}, "lvariance"));
    c.add("deviation", shapefile({square}, "sqrt_variance"));
    c.add("no_records", shapefile({}, "mean"));
    c.add("outside_background", shapefile({TestRecord({test_rectangle(10, 2, 16, 8)}), square}, "mean"));
    TestRecord numbered_4 = square;
    numbered_4.number = 4;
    c.add("numbers_1_2_4", shapefile({square, triangle, numbered_4}, "mean"));

    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    TestRecord nan_points({{{nan, 2}, {5, nan}, {9, 9}, {nan, nan}}});
    nan_points.box = std::array<double, 4>{1, 1, 10, 10};
    c.add("nan_points", shapefile({nan_points}, "mean"));
    TestRecord huge_points({{{-1e300, 2}, {1e300, 3}, {5, inf}, {-inf, -1e9}, {-1e300, 2}}});
    huge_points.box = std::array<double, 4>{0.5, 0.5, 15.5, 11.5};
    c.add("huge_points", shapefile({huge_points}, "mean"));
    TestRecord outside_box({test_rectangle(-40, -30, 50, 60)});
    outside_box.box = std::array<double, 4>{2, 2, 8, 8};
    c.add("points_outside_box", shapefile({outside_box}, "mean"));
    TestRecord nan_box = square;
    nan_box.box = std::array<double, 4>{nan, 0, 5, inf};
    c.add("nan_box", shapefile({nan_box, square}, "mean"));
    TestRecord inverted_box = square;
    inverted_box.box = std::array<double, 4>{9, 9, 2, 2};
    c.add("inverted_box", shapefile({inverted_box}, "mean"));
    TestRecord many_parts = square;
    many_parts.numparts = 1000000;
    c.add("counts_lie", shapefile({many_parts}, "mean"));
    TestRecord negative_parts = square;
    negative_parts.numparts = -1;
    c.add("negative_parts", shapefile({negative_parts}, "mean"));
    TestRecord no_points;
    no_points.box = std::array<double, 4>{1, 1, 2, 2};
    c.add("empty_record", shapefile({no_points, square}, "mean"));
    TestRecord two_vertex_parts({{{1, 1}, {8, 8}}, {{2, 2}}, {{3, 3}, {4, 4}, {3, 3}}});
    c.add("short_parts", shapefile({two_vertex_parts}, "mean"));
    TestRecord polyline = square;
    polyline.shape_type = 3;
    c.add("polyline_record", shapefile({square, polyline}, "mean"));
    Bytes cut = polygon_shapefile({square, triangle});
    cut.resize(cut.size() - 20);
    c.add("cut_record", joined({cut, text_bytes("mean")}));
    const Bytes empty = polygon_shapefile({});
    c.add("header_only", joined({Bytes(empty.begin(), empty.begin() + 60), text_bytes("mean")}));

    // Map units: 0.5 m pixels, top-left corner at (100, 206).
    const TestRecord map_square({test_rectangle(101.25, 200.75, 103.25, 202.75)});
    c.add("world_file", joined({polygon_shapefile({map_square}), text_bytes("mean"),
                                text_bytes("0.5\n0\n0\n-0.5\n100\n206\n")}));
    c.add("world_file_zero_cell", joined({polygon_shapefile({map_square}), text_bytes("mean"),
                                          text_bytes("0\n0\n0\n0\n100\n206\n")}));
}

// A class map of `rows` (listed from the top): '.' grey ground, letters the
// colours of `classes` in order.
Bytes class_map_bmp(const std::vector<std::string>& rows, const std::vector<std::uint32_t>& classes)
{
    Palette palette = grey_palette();
    for (std::size_t i = 0; i < classes.size(); ++i) palette[1 + i] = classes[i];
    std::vector<std::uint8_t> pixels;
    for (const std::string& row : rows)
        for (char ch : row) pixels.push_back(ch == '.' ? 128 : static_cast<std::uint8_t>(1 + (ch - 'a')));
    return make_bmp(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), pixels, palette);
}

// Class maps whose pixels stress the census and the tracing: holes with
// islands, diagonal contacts, checkerboards, blobs on every edge, and the
// limit of 253 colours.
void polvane_class_map_seeds(Corpus& c)
{
    bmp_seeds(c);
    const std::vector<std::uint32_t> colours = {0xFF0000, 0x00C000, 0x0000FF, 0xFFFF00};
    c.add("holes_and_islands.bmp", class_map_bmp({"aaaaaaaaa.",
                                                  "a.......a.",
                                                  "a.aaaaa.a.",
                                                  "a.a.b.a.a.",
                                                  "a.aaaaa.a.",
                                                  "a.......ab",
                                                  "aaaaaaaaab"},
                                                 colours));
    c.add("diagonal_contacts.bmp", class_map_bmp({"a.b.a.", ".a.b.a", "b.a.b.", ".b.a.b"}, colours));
    c.add("checkerboard.bmp", class_map_bmp({"abababab", "babababa", "abababab", "babababa", "abababab"}, colours));
    c.add("edges.bmp", class_map_bmp({"a..b", "....", "c..d"}, colours));
    c.add("one_pixel.bmp", class_map_bmp({"c"}, colours));
    c.add("only_grey.bmp", class_map_bmp({"...", "..."}, colours));
    c.add("spiral.bmp", class_map_bmp({"aaaaaaa", "......a", "aaaaa.a", "a...a.a", "a.aaa.a", "a.....a", "aaaaaaa"},
                                      colours));
    c.add("touching_colours.bmp", class_map_bmp({"aabb", "aabb", "ccdd", "ccdd"}, colours));
    // A palette of 254 distinct non-grey colours, the first 253 or all of
    // them on a 16 x 16 map.
    Palette many(256, 0x808080);
    for (int i = 0; i < 254; ++i) many[i] = static_cast<std::uint32_t>(i + 1) << 8 | 0x40u;
    for (int count : {253, 254}) {
        std::vector<std::uint8_t> pixels(256, 255);
        for (int i = 0; i < count; ++i) pixels[i] = static_cast<std::uint8_t>(i);
        c.add("colours_" + std::to_string(count) + ".bmp", make_bmp(16, 16, pixels, many));
    }
    // No columns and the largest height: no pixels, nothing to walk.
    Bytes no_columns = class_map_bmp({"a"}, colours);
    for (int i = 0; i < 4; ++i) {
        no_columns[18 + i] = 0;
        no_columns[22 + i] = i == 3 ? 0x7F : 0xFF;
    }
    c.add("no_columns_many_rows.bmp", no_columns);
    BmpLayout top_down;
    top_down.top_down = true;
    top_down.palette_entries = 8;
    Palette short_palette = {0x000000, 0xFF0000, 0x00FF00, 0x808080, 0x0000FF, 0xFFFFFF, 0x123456, 0x654321};
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 9 * 7; ++i) pixels.push_back(static_cast<std::uint8_t>((i * 5 + i / 9) % 9));
    c.add("short_palette_top_down.bmp", make_bmp(9, 7, pixels, short_palette, top_down));
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
        {"talvern_parameters", talvern_parameters_seeds},
        {"zonrik_shapefile", zonrik_shapefile_seeds},
        {"polvane_class_map", polvane_class_map_seeds},
    };
    for (const auto& [target, seeds] : targets) {
        Corpus corpus(root, target);
        seeds(corpus);
    }
    return 0;
}
