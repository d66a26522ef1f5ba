// End-to-end tests of Talvern: the real program on building and shadow class
// maps written as BMP files in a temporary folder.
#include "bmp_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

using namespace testsupport;

namespace {

const std::string banner =
    "\n              * * *  Talvern  * * *\n\n"
    "\n                   * * * WARNING * * *\n"
    "\n     This routine works only with 8 bit Bmp files \n"
    "\n     The routine generates a BMP grayscale image \n"
    "\n     Grayscale tonalities are not considered as color\n\n"
    "  \n\n"
    "    -------------------------------------------------\n\n";

const std::string default_parameters =
    "\nParameter file 'raise_parameters.txt' not found"
    "\n The routine will use 'DEFAULT' parameters"
    "\nmax_gap_building_shadow= 3"
    "\nmax_lenght_shadow= 20"
    "\nmin_perc_shadow_sample= 50"
    "\nmax_perc_deviation_sample= 20";

const std::string maps_ok = "\n\nBuilding classification... Ok\n\nShadow classification... Ok";

std::string progress(int blobs)
{
    std::string text = "\n\n\nblob in process: ... initializing";
    for (int b = 1; b <= blobs; ++b) text += " " + std::to_string(b);
    return text;
}

constexpr double pi = 3.14159265358979323846;
constexpr std::uint8_t red = 1, blue = 2, grey = 128, black = 0;

Palette map_palette()
{
    Palette palette = grey_palette();
    palette[red] = 0xFF0000;
    palette[blue] = 0x0000FF;
    return palette;
}

std::uint32_t bits(float v)
{
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// The height the program gives a shadow of L pixels: the product with the
// tangent (57.2965 degrees per radian) rounded to float, then the
// resolution.
float expected_height(double L, float elevation, float resolution)
{
    const float product = static_cast<float>(L * std::tan(elevation / 57.2965));
    return static_cast<float>(static_cast<double>(product) * resolution);
}

// The two class maps of a scene, addressed with y counted from the bottom
// row, as the heights are.
class Scene {
public:
    Scene(int width, int height)
        : width(width), height(height), building(width * height, grey), shadow(width * height, black)
    {
    }

    void put_building(int x, int y, std::uint8_t colour = red) { building[index(x, y)] = colour; }
    void put_shadow(int x, int y) { shadow[index(x, y)] = blue; }
    bool is_building(int x, int y) const { return building[index(x, y)] == red; }

    void building_box(int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) put_building(x, y);
    }
    void shadow_box(int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) put_shadow(x, y);
    }

    void write(const TempDir& dir, const std::string& building_name = "b.bmp",
               const std::string& shadow_name = "s.bmp") const
    {
        write_bytes(dir.file(building_name), make_bmp(width, height, building, map_palette()));
        write_bytes(dir.file(shadow_name), make_bmp(width, height, shadow, map_palette()));
    }

    int width, height;

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(height - 1 - y) * width + x; }

    std::vector<std::uint8_t> building, shadow;
};

// The heights written, addressed with y counted from the bottom row.
class Heights {
public:
    Heights(const Bytes& raw, int width, int height) : raw_(raw), width_(width), height_(height) {}
    float at(int x, int y) const { return le_float(raw_, 4 * (static_cast<std::size_t>(height_ - 1 - y) * width_ + x)); }
    std::size_t size() const { return raw_.size(); }

private:
    Bytes raw_;
    int width_, height_;
};

class Talvern : public testing::Test {
protected:
    RunResult run(const std::vector<std::string>& args, const std::string& input = "")
    {
        return run_program("talvern", args, dir.path(), input);
    }

    // Runs on b.bmp and s.bmp and returns the heights of b_raise.raw.
    Heights measure(const Scene& scene, const std::string& azimuth, const std::string& elevation = "45",
                    const std::string& resolution = "0.5")
    {
        scene.write(dir);
        last = run({"b.bmp", "s.bmp", azimuth, elevation, resolution});
        EXPECT_EQ(last.status, 0);
        return Heights(read_bytes(dir.file("b_raise.raw")), scene.width, scene.height);
    }

    TempDir dir;
    RunResult last;
};

// A 6 x 6 building at x 5..10, y 10..15 of a 40 x 30 scene.
Scene square_building()
{
    Scene scene(40, 30);
    scene.building_box(5, 10, 10, 15);
    return scene;
}

}  // namespace

TEST_F(Talvern, TenPixelShadowAtFortyFiveDegreesGivesAboutFiveMetres)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);  // sun azimuth 0: shadow to the right
    const Heights h = measure(scene, "0");
    EXPECT_EQ(last.out, banner + default_parameters + maps_ok + progress(1) + "\n\nEnd\n");
    ASSERT_EQ(h.size(), 40u * 30u * 4u);
    const float height = expected_height(10, 45, 0.5f);
    EXPECT_NEAR(height, 5.0f, 0.001f);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(bits(h.at(x, y)), bits(scene.is_building(x, y) ? height : 0.0f)) << x << "," << y;
    EXPECT_EQ(read_text(dir.file("b_raise.hdr")),
              "ENVI\ndescription = {b_raise.}\nsamples = 40\nlines = 30\nbands = 1\nheader offset = 0\n"
              "file type = ENVI Standard\ndata type = 4\ninterleave = bsq\nsensor type = Unknown\nbyte order = 0\n");
}

TEST_F(Talvern, ShadowIsSearchedDownTheSunInEveryQuadrant)
{
    struct Case {
        int azimuth;
        int x0, y0, x1, y1;  // the shadow: 7 pixels behind the building at x 12..17, y 10..15
    };
    const Case cases[] = {
        {0, 18, 10, 24, 15},   // to the right
        {90, 12, 16, 17, 22},  // upwards, towards the top of the picture
        {180, 5, 10, 11, 15},  // to the left
        {270, 12, 3, 17, 9},   // downwards
    };
    for (const Case& c : cases) {
        Scene scene(40, 30);
        scene.building_box(12, 10, 17, 15);
        scene.shadow_box(c.x0, c.y0, c.x1, c.y1);
        EXPECT_EQ(bits(measure(scene, std::to_string(c.azimuth)).at(14, 12)), bits(expected_height(7, 45, 0.5f)))
            << c.azimuth;
        // With the sun opposite, nothing lies behind the edge.
        EXPECT_EQ(measure(scene, std::to_string((c.azimuth + 180) % 360)).at(14, 12), 0.0f) << c.azimuth;
    }
}

TEST_F(Talvern, GapAboveTheLimitGivesNoSample)
{
    Scene near = square_building();
    near.shadow_box(13, 10, 20, 15);  // starts 3 pixels from the edge
    EXPECT_EQ(bits(measure(near, "0").at(7, 12)), bits(expected_height(10, 45, 0.5f)));
    Scene far = square_building();
    far.shadow_box(14, 10, 20, 15);  // 4 pixels: above max_gap_building_shadow
    EXPECT_EQ(measure(far, "0").at(7, 12), 0.0f);
}

TEST_F(Talvern, ShadowLongerThanTheSearchGivesNoHeight)
{
    Scene scene(50, 30);
    scene.building_box(5, 10, 10, 15);
    scene.shadow_box(11, 10, 35, 15);  // 25 pixels, the search reaches 20
    EXPECT_EQ(measure(scene, "0").at(7, 12), 0.0f);

    // Searched further through the parameter file; the key without its blank
    // before "=" would not count.
    write_text(dir.file("raise_parameters.txt"), "max_lenght_shadow= 35\n");
    EXPECT_EQ(measure(scene, "0").at(7, 12), 0.0f);
    write_text(dir.file("raise_parameters.txt"), "max_lenght_shadow = 35\n");
    const Heights h = measure(scene, "0");
    EXPECT_EQ(bits(h.at(7, 12)), bits(expected_height(25, 45, 0.5f)));
    EXPECT_EQ(last.out, banner + maps_ok + progress(1) + "\n\nEnd\n");  // nothing said about the file
}

TEST_F(Talvern, TooFewLinesWithAShadowGiveNoHeight)
{
    // Ten rows of building hit by ten trace lines; a shadow behind 4 rows is
    // 40 %, behind 5 rows 50 %.
    Scene scene(40, 30);
    scene.building_box(5, 10, 10, 19);
    scene.shadow_box(11, 10, 18, 13);
    EXPECT_EQ(measure(scene, "0").at(7, 12), 0.0f);
    scene.shadow_box(11, 14, 18, 14);
    EXPECT_EQ(bits(measure(scene, "0").at(7, 12)), bits(expected_height(8, 45, 0.5f)));
}

TEST_F(Talvern, OutlyingSamplesAreDropped)
{
    // Rows of 10, 10, 10 and 20 pixels of shadow: the 20 is dropped.
    Scene scene(40, 30);
    scene.building_box(5, 10, 10, 13);
    scene.shadow_box(11, 10, 20, 12);
    scene.shadow_box(11, 13, 30, 13);
    write_text(dir.file("raise_parameters.txt"), "max_lenght_shadow = 25");
    EXPECT_EQ(bits(measure(scene, "0").at(7, 12)), bits(expected_height(10, 45, 0.5f)));
    // 10 and 20 only: both dropped, the mean of 15 stands.
    Scene two(40, 30);
    two.building_box(5, 10, 10, 11);
    two.shadow_box(11, 10, 20, 10);
    two.shadow_box(11, 11, 30, 11);
    EXPECT_EQ(bits(measure(two, "0").at(7, 10)), bits(expected_height(15, 45, 0.5f)));
}

TEST_F(Talvern, BuildingsTouchingAtACornerAreMeasuredAsOne)
{
    Scene scene(40, 30);
    scene.building_box(5, 10, 8, 13);
    scene.building_box(9, 14, 12, 17);
    scene.shadow_box(9, 10, 16, 13);   // 8 behind the lower block
    scene.shadow_box(13, 14, 20, 17);  // 8 behind the upper one
    const Heights h = measure(scene, "0");
    EXPECT_EQ(last.out, banner + default_parameters + maps_ok + progress(1) + "\n\nEnd\n");
    EXPECT_EQ(bits(h.at(6, 11)), bits(expected_height(8, 45, 0.5f)));
    EXPECT_EQ(bits(h.at(11, 16)), bits(expected_height(8, 45, 0.5f)));
    // The two pixels across the contact were written too, and cleared.
    EXPECT_EQ(h.at(9, 13), 0.0f);
    EXPECT_EQ(h.at(8, 14), 0.0f);
}

TEST_F(Talvern, HeightsStayOnTheBuildingsOwnPixels)
{
    // A U open to the top and a C open to the right, with shadows: every
    // building pixel gets the height and no other pixel does.
    Scene scene(60, 40);
    scene.building_box(5, 5, 7, 20);
    scene.building_box(8, 5, 13, 7);
    scene.building_box(14, 5, 16, 20);
    scene.shadow_box(17, 5, 22, 20);
    scene.building_box(30, 20, 32, 32);
    scene.building_box(33, 20, 40, 22);
    scene.building_box(33, 30, 40, 32);
    scene.shadow_box(41, 20, 46, 22);
    scene.shadow_box(33, 23, 38, 29);
    scene.shadow_box(41, 30, 46, 32);
    const Heights h = measure(scene, "0");
    EXPECT_EQ(last.out, banner + default_parameters + maps_ok + progress(2) + "\n\nEnd\n");
    const float height = expected_height(6, 45, 0.5f);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(bits(h.at(x, y)), bits(scene.is_building(x, y) ? height : 0.0f)) << x << "," << y;
}

TEST_F(Talvern, AzimuthIsCheckedAndFolded)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 15, 15);
    scene.write(dir);
    RunResult r = run({"b.bmp", "s.bmp", "365.7", "45", "0.5"});
    EXPECT_EQ(r.out, banner + default_parameters + "\nsun_azimuth_angle is set to: 5.000000" + maps_ok +
                         progress(1) + "\n\nEnd\n");
    r = run({"b.bmp", "s.bmp", "359.9", "45", "0.5"});
    EXPECT_EQ(r.out, banner + default_parameters + maps_ok + progress(1) + "\n\nEnd\n");
    r = run({"b.bmp", "s.bmp", "-1", "45", "0.5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner + default_parameters + "\nError: sun_azimuth_angle should be between 0 and 359 degree" +
                         "\n\nEnd\n");
}

TEST_F(Talvern, ElevationMustLieStrictlyBetweenZeroAndNinety)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 15, 15);
    scene.write(dir);
    const std::string refused = banner + default_parameters +
                                "\nError: sun_elevation_angle should be between 1 and 89 degree\n\nEnd\n";
    for (const char* elevation : {"0", "90", "-1e39"}) {
        const RunResult r = run({"b.bmp", "s.bmp", "0", elevation, "0.5"});
        EXPECT_EQ(r.out, refused) << elevation;
        EXPECT_EQ(r.status, 1) << elevation;
    }
    EXPECT_FALSE(file_exists(dir.file("b_raise.raw")));
    EXPECT_EQ(run({"b.bmp", "s.bmp", "0", "89.9", "0.5"}).out,
              banner + default_parameters + maps_ok + progress(1) + "\n\nEnd\n");
    EXPECT_TRUE(file_exists(dir.file("b_raise.raw")));
}

TEST_F(Talvern, NonPositiveSearchLengthIsRefusedBeforeTheMaps)
{
    write_text(dir.file("raise_parameters.txt"), "max_lenght_shadow = 0\n");
    const RunResult r = run({"missing.bmp", "s.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.out, banner + "\nError: max_lenght_shadow should be greater than 0 (it is 0)\n\nEnd\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(Talvern, EachMapMustHoldExactlyOneClassColour)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 15, 15);
    scene.write(dir, "b.bmp", "s.bmp");

    Scene grey_only(10, 10);  // black, white and grey only
    grey_only.put_building(1, 1, 255);
    grey_only.put_building(2, 1, black);
    grey_only.write(dir, "grey.bmp", "unused.bmp");
    RunResult r = run({"grey.bmp", "s.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.out, banner + default_parameters + "\nThe color number is 0\n" +
                         "\nError: Building classification should contain just one color \n\n\nEnd\n");
    EXPECT_EQ(r.status, 1);

    Scene two = square_building();
    two.put_building(20, 20, blue);
    two.write(dir, "two.bmp", "unused.bmp");
    r = run({"two.bmp", "s.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.out, banner + default_parameters + "\nThe color number is 2\n" +
                         "\nError: Building classification should contain just one color \n\n\nEnd\n");

    // The shadow map is checked only after the building map passed.
    r = run({"b.bmp", "two.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.out, banner + default_parameters + "\n\nBuilding classification... Ok" +
                         "\nThe color number is 2\n" +
                         "\nError: Shadow classification should contain just one color \n\n\nEnd\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(file_exists(dir.file("b_raise.raw")));
}

TEST_F(Talvern, MoreThanNinetyNineColoursAreTooMany)
{
    Palette palette = grey_palette();
    std::vector<std::uint8_t> pixels(20 * 10, 0);
    for (int i = 0; i < 100; ++i) {
        palette[1 + i] = 0x010000u * (i + 1) + 0x40;  // never grey
        pixels[i] = static_cast<std::uint8_t>(1 + i);
    }
    write_bytes(dir.file("many.bmp"), make_bmp(20, 10, pixels, palette));
    RunResult r = run({"many.bmp", "s.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.out, banner + default_parameters + "\nError: Too much color in Building classification\n\nEnd\n");
    EXPECT_EQ(r.status, 1);
    pixels[99] = 0;  // 99 colours: counted, then refused as more than one
    write_bytes(dir.file("many.bmp"), make_bmp(20, 10, pixels, palette));
    r = run({"many.bmp", "s.bmp", "0", "45", "0.5"});
    EXPECT_NE(r.out.find("\nThe color number is 99\n"), std::string::npos);
}

TEST_F(Talvern, MissingMapAndDifferentSizesAreReported)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 15, 15);
    scene.write(dir);
    RunResult r = run({"nothere.bmp", "s.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.out, banner + default_parameters + "\nCannot open input file\n" +
                         "\nError in opening Building classification\n\nEnd\n");
    EXPECT_EQ(r.status, 1);
    r = run({"b.bmp", "nothere.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.out, banner + default_parameters + "\n\nBuilding classification... Ok" +
                         "\nCannot open input file\n" + "\nError in opening Shadow classification\n\nEnd\n");

    Scene smaller(40, 29);
    smaller.shadow_box(11, 10, 15, 15);
    smaller.write(dir, "unused.bmp", "s29.bmp");
    r = run({"b.bmp", "s29.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.out, banner + default_parameters + maps_ok +
                         "\nError: dimension of building and shadow classification should be equal\n\nEnd\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(file_exists(dir.file("b_raise.raw")));
}

TEST_F(Talvern, WorkingFolderHoldsTheInputsAndTheOutput)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    std::filesystem::create_directory(dir.file("my data"));
    scene.write(dir, "my data/b.bmp", "my data/s.bmp");
    const RunResult r = run({"b.bmp", "s.bmp", "0", "45", "0.5", "my", "data"});
    EXPECT_EQ(r.out, banner + default_parameters + maps_ok + progress(1) + "\n\nEnd\n");
    const Heights h(read_bytes(dir.file("my data/b_raise.raw")), 40, 30);
    EXPECT_EQ(bits(h.at(7, 12)), bits(expected_height(10, 45, 0.5f)));
    EXPECT_NE(read_text(dir.file("my data/b_raise.hdr")).find("\ndescription = {my data/b_raise.}\n"), std::string::npos);
}

TEST_F(Talvern, ShortBuildingNameGivesTheBareSuffix)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    scene.write(dir, "b", "s.bmp");
    EXPECT_EQ(run({"b", "s.bmp", "0", "45", "0.5"}).status, 0);
    EXPECT_TRUE(file_exists(dir.file("_raise.raw")));
    EXPECT_TRUE(file_exists(dir.file("_raise.hdr")));
}

TEST_F(Talvern, OutputThatCannotBeWrittenIsReported)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    scene.write(dir);
    // A full disk: the 4800 bytes of heights do not fit in 1024.
    RunResult r = run_program_with_file_limit("talvern", {"b.bmp", "s.bmp", "0", "45", "0.5"}, dir.path(), 2);
    EXPECT_EQ(r.out, banner + default_parameters + maps_ok + progress(1) + "\nError in writing b_raise image\n" +
                         "cannot write 'b_raise.raw': File too large\n\n\nEnd\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"b.bmp", "s.bmp"}));

    // A folder in the output's place is refused before any work.
    std::filesystem::create_directory(dir.file("b_raise.raw"));
    r = run({"b.bmp", "s.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.out, banner + "\nError: the output 'b_raise.raw' is a folder; nothing was written\n\n\nEnd\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(Talvern, PromptsForTheInputsAndWaitsAtTheEnd)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    scene.write(dir);
    const std::string prompts = "\nBuilding Classification =\nShadow Classification ="
                                "\nSun azimuth angle (degree) =\nSun elevation angle (degree) ="
                                "\nPixel resolution (meters) =";
    RunResult r = run({}, "b.bmp extra\ns.bmp\n0\n45\n0.5\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + prompts + default_parameters + maps_ok + progress(1) + "\n\nEnd\n");
    EXPECT_EQ(bits(Heights(read_bytes(dir.file("b_raise.raw")), 40, 30).at(7, 12)),
              bits(expected_height(10, 45, 0.5f)));

    r = run({"b.bmp"}, "b.bmp\ns.bmp\n0\n");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out.find("End"), std::string::npos);
}

namespace {

// A flat-roofed rectangular building and the shadow it casts on flat ground:
// every pixel whose centre lies in the building's pixel squares swept along
// the shadow vector.
struct Block {
    int x0, y0, w, h;     // pixels x0..x0+w-1 by y0..y0+h-1
    double length;        // shadow length, pixels

    bool contains(int x, int y) const { return x >= x0 && x < x0 + w && y >= y0 && y < y0 + h; }

    // Does the segment from the centre of (x, y) back towards the sun,
    // (x, y) - t * (cx, cy) for t in [0, length], touch the block's squares?
    bool shades(int x, int y, double cx, double cy) const
    {
        double t_lo = 0, t_hi = length;
        auto slab = [&](double p, double d, double lo, double hi) {
            if (std::fabs(d) < 1e-12) return lo <= p && p <= hi;
            double t1 = (p - hi) / d, t2 = (p - lo) / d;  // p - t*d in [lo, hi]
            if (t1 > t2) std::swap(t1, t2);
            t_lo = std::max(t_lo, t1);
            t_hi = std::min(t_hi, t2);
            return t_lo <= t_hi;
        };
        return slab(x, cx, x0 - 0.5, x0 + w - 0.5) && slab(y, cy, y0 - 0.5, y0 + h - 0.5);
    }
};

}  // namespace

TEST_F(Talvern, RandomScenesGiveHeightsWithinOnePixelsWorth)
{
    // Rectangular buildings of random size and shadow length under random
    // suns. The trace lines and the shadow walks are digital, so a length is
    // known to the extent of one pixel measured along the sun direction
    // (from one pixel width along an axis to a diagonal at 45 degrees).
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> azimuth_of(0, 360), elevation_of(30, 70), length_of(4, 16);
    std::uniform_int_distribution<int> side(12, 24);
    for (int scene_number = 0; scene_number < 12; ++scene_number) {
        const float azimuth = static_cast<float>(std::floor(azimuth_of(random) * 10) / 10);
        const float elevation = static_cast<float>(std::floor(elevation_of(random)));
        const double radians = azimuth * pi / 180;
        const double cx = std::cos(radians), cy = std::sin(radians);
        Scene scene(240, 240);
        std::vector<Block> blocks;
        for (int gy = 0; gy < 4; ++gy)
            for (int gx = 0; gx < 4; ++gx) {
                const int w = side(random);
                const int h = std::clamp(w + side(random) / 3 - 6, 12, 24);
                blocks.push_back({60 * gx + 20, 60 * gy + 20, w, h, length_of(random)});
            }
        for (const Block& b : blocks)
            for (int y = b.y0 - 18; y < b.y0 + b.h + 18; ++y)
                for (int x = b.x0 - 18; x < b.x0 + b.w + 18; ++x) {
                    if (b.contains(x, y))
                        scene.put_building(x, y);
                    else if (b.shades(x, y, cx, cy))
                        scene.put_shadow(x, y);
                }
        char az[16], el[16];
        std::snprintf(az, sizeof az, "%.1f", azimuth);
        std::snprintf(el, sizeof el, "%.0f", elevation);
        const Heights heights = measure(scene, az, el, "0.5");
        const double pixel_worth = std::tan(elevation * pi / 180) * 0.5;
        const double along_sun = std::fabs(cx) + std::fabs(cy);
        for (const Block& b : blocks) {
            EXPECT_NEAR(heights.at(b.x0, b.y0), b.length * pixel_worth, along_sun * pixel_worth)
                << "azimuth " << az << ", building " << b.w << "x" << b.h << " at " << b.x0 << "," << b.y0
                << ", shadow " << b.length;
        }
    }
}

// Safe outputs and honest statuses.

TEST_F(Talvern, CommandLineNumbersMustBeWhollyNumbersAndThePixelSizeAboveZero)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    scene.write(dir);
    struct Case {
        const char* azimuth;
        const char* elevation;
        const char* resolution;
        std::string reason;
    };
    const Case cases[] = {
        {"0", "45", "0,25", "'0,25' is not a number (pixel size)"},
        {"0", "45", "abc", "'abc' is not a number (pixel size)"},
        {"0", "45", "nan", "'nan' is not a number (pixel size)"},
        {"0", "45", "inf", "'inf' is not a number (pixel size)"},
        {"0", "45", "-0.5", "the pixel size must be a finite number greater than 0 ('-0.5' given)"},
        {"0", "45", "0", "the pixel size must be a finite number greater than 0 ('0' given)"},
        {"0", "45", "1e39", "the pixel size must be a finite number greater than 0 ('1e39' given)"},
        {"12x", "45", "0.5", "'12x' is not a number (sun azimuth)"},
        {"0", "nan", "0.5", "'nan' is not a number (sun elevation)"},
    };
    for (const Case& c : cases) {
        const RunResult r = run({"b.bmp", "s.bmp", c.azimuth, c.elevation, c.resolution});
        EXPECT_EQ(r.status, 1) << c.reason;
        EXPECT_EQ(r.out, banner + "\nError: " + c.reason + "\n");
    }
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"b.bmp", "s.bmp"}));
}

TEST_F(Talvern, PromptsAskAgainUntilTheAnswerIsANumber)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    scene.write(dir);
    const RunResult r = run({}, "b.bmp\ns.bmp\n0\nhigh\n45\n0,5\n-0.5\n0.5\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "\nBuilding Classification =\nShadow Classification =\nSun azimuth angle (degree) =" +
                         "\nSun elevation angle (degree) =\n'high' is not a number\n" +
                         "\nSun elevation angle (degree) =\nPixel resolution (meters) =\n'0,5' is not a number\n" +
                         "\nPixel resolution (meters) =\nThe pixel size must be greater than 0\n" +
                         "\nPixel resolution (meters) =" + default_parameters + maps_ok + progress(1) + "\n\nEnd\n");
    EXPECT_EQ(bits(Heights(read_bytes(dir.file("b_raise.raw")), 40, 30).at(7, 12)),
              bits(expected_height(10, 45, 0.5f)));
}

TEST_F(Talvern, ParameterFileThatCannotBeReadIsRefused)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    scene.write(dir);
    std::filesystem::create_directory(dir.file("raise_parameters.txt"));
    const RunResult r = run({"b.bmp", "s.bmp", "0", "45", "0.5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner + "\nError: the parameter file 'raise_parameters.txt' cannot be read: Is a directory" +
                         "\n\nEnd\n");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"b.bmp", "raise_parameters.txt", "s.bmp"}));
}

TEST_F(Talvern, OutputNamesAnEnviHeaderCannotHoldAreRefused)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    for (const std::string name : {"b}.bmp", "b{.bmp", "b\nsensor type = x.bmp", "b\t.bmp"}) {
        scene.write(dir, name, "s.bmp");
        const RunResult r = run({name, "s.bmp", "0", "45", "0.5"});
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_EQ(r.out, banner + "\nError: the output name '" + name.substr(0, name.size() - 4) +
                             "_raise' holds a control character, \"{\" or \"}\", which its ENVI header cannot hold\n" +
                             "\n\nEnd\n");
        EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{name, "s.bmp"}));
        std::filesystem::remove(dir.file(name));
    }
}

TEST_F(Talvern, WritesItsRasterAndHeaderWholeOrNotAtAll)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    scene.write(dir);
    write_text(dir.file("b_raise.hdr"), "an earlier run");
    EXPECT_GT(expect_whole_outputs_or_none("talvern", {"b.bmp", "s.bmp", "0", "45", "0.5"}, dir.path()), 3);
}

TEST_F(Talvern, NeverWritesOverItsInputs)
{
    Scene scene = square_building();
    scene.shadow_box(11, 10, 20, 15);
    for (const char* output : {"b_raise.raw", "b_raise.hdr"}) {
        scene.write(dir, "b.bmp", output);
        const auto before = folder_contents(dir.path());
        const RunResult r = run({"b.bmp", output, "0", "45", "0.5"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, banner + "\nError: the output '" + output + "' would overwrite the input '" + output +
                             "'; nothing was written\n\n\nEnd\n");
        EXPECT_EQ(folder_contents(dir.path()), before);
        std::filesystem::remove(dir.file(output));
    }
}

TEST_F(Talvern, HelpAndVersionAskNothing)
{
    RunResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("talvern: ", 0), 0u);
    EXPECT_NE(r.out.find("Pixel resolution (meters) ="), std::string::npos);
    EXPECT_EQ(r.out.find("* * *"), std::string::npos);
    r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("talvern ", 0), 0u);
    EXPECT_TRUE(list_files(dir.path()).empty());
}

TEST_F(Talvern, WindowWithItsOriginGivesTheMosaicsHeights)
{
    // At this azimuth the search end lies 19.5 pixels and a few millionths
    // right of the edge: in single precision that is 19.5 (rounded down)
    // far from the origin, more (rounded up) near it. The shadow ends 19
    // pixels from the edge, so the mosaic finds no end and no height.
    const std::string azimuth = "12.83858";
    auto draw = [](Scene& scene, int dx) {
        scene.building_box(60 + dx, 10, 65 + dx, 15);
        scene.shadow_box(66 + dx, 10, 84 + dx, 21);
    };
    Scene mosaic(100, 30), window(50, 30);
    draw(mosaic, 0);
    draw(window, -50);
    const Heights whole = measure(mosaic, azimuth);
    window.write(dir, "w.bmp", "ws.bmp");
    auto window_heights = [&](std::vector<std::string> options) {
        std::vector<std::string> args = {"w.bmp", "ws.bmp", azimuth, "45", "0.5"};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(run(args).status, 0);
        return Heights(read_bytes(dir.file("w_raise.raw")), 50, 30);
    };
    const Heights placed = window_heights({"--origin", "50,0"});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x) ASSERT_EQ(bits(placed.at(x, y)), bits(whole.at(x + 50, y))) << x << "," << y;
    EXPECT_EQ(whole.at(62, 12), 0.0f);
    EXPECT_GT(window_heights({}).at(12, 12), 0.0f);  // a window on its own ends the search a pixel further

    for (const char* wrong : {"50", "-1,0", "1,x"})
        EXPECT_EQ(run({"--origin", wrong, "w.bmp", "ws.bmp", azimuth, "45", "0.5"}).status, 1) << wrong;
}
