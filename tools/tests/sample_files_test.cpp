// Tests of the demo's sample data: the real generator writes its files into
// a temporary folder, and the tests check that each file is what it claims
// (sizes, headers, palettes, world files), that every building's shadow has
// the length its height implies along the sun's direction, that the aerial
// image slices into the building mask, that the raised road crossings stand
// out of the terrain model, and that the bytes never change.
#include "bmp_builder.h"
#include "countryside.h"
#include "test_support.h"
#include "town.h"
#include "town_rasters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <vector>

using namespace testsupport;

namespace {

const double pi = 3.14159265358979323846;
const int size = 1024;

// The generator lives beside the programs' folder, in tools-bin.
RunResult make_samples(const std::string& folder)
{
    return run_program("../tools-bin/make_samples", {folder}, folder);
}

const std::vector<std::string> sample_names = {
    "aerial.bmp",      "aerial.bpw",      "buildings.bmp",   "buildings.bpw", "buildings_truth.txt",
    "crossroads.txt",  "dtm.dim",         "dtm.hdr",         "dtm.raw",       "roads.dim",
    "roads.raw",       "roads.rww",       "roads_truth.txt", "shadows.bmp",   "shadows.bpw",
    "temperature.dim", "temperature.hdr", "temperature.raw", "temperature.rww",
};

struct TruthBuilding {
    int id = 0;
    std::string shape;
    int x_min = 0, y_min = 0, x_max = 0, y_max = 0;
    double height_m = 0, shadow_px = 0;
    int seed_x = 0, seed_y = 0;
};

std::vector<TruthBuilding> read_truth(const std::string& path)
{
    std::vector<TruthBuilding> out;
    std::istringstream in(read_text(path));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        TruthBuilding b;
        fields >> b.id >> b.shape >> b.x_min >> b.y_min >> b.x_max >> b.y_max >> b.height_m >> b.shadow_px >> b.seed_x >>
            b.seed_y;
        EXPECT_TRUE(fields) << line;
        out.push_back(b);
    }
    return out;
}

std::vector<float> floats_of(const Bytes& bytes)
{
    std::vector<float> out(bytes.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = le_float(bytes, 4 * i);
    return out;
}

// The files written once for all the tests of the suite.
class SampleFiles : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new TempDir();
        const RunResult r = make_samples(dir->path());
        ASSERT_EQ(r.status, 0) << r.out;
        buildings = bmp_pixels(read_bytes(dir->file("buildings.bmp")));
        shadows = bmp_pixels(read_bytes(dir->file("shadows.bmp")));
        truth = read_truth(dir->file("buildings_truth.txt"));
    }
    static void TearDownTestSuite() { delete dir; }

    static bool building_at(int x, int y) { return x >= 0 && y >= 0 && x < size && y < size && buildings[y * size + x]; }
    static bool shadow_at(int x, int y) { return x >= 0 && y >= 0 && x < size && y < size && shadows[y * size + x]; }

    // The 8-connected building pixels around a seed, as a mask, with their box.
    static std::vector<std::uint8_t> component(int seed_x, int seed_y, int box[4])
    {
        std::vector<std::uint8_t> in(size * size, 0);
        std::vector<std::pair<int, int>> todo = {{seed_x, seed_y}};
        in[seed_y * size + seed_x] = 1;
        box[0] = box[2] = seed_x;
        box[1] = box[3] = seed_y;
        while (!todo.empty()) {
            const auto [x, y] = todo.back();
            todo.pop_back();
            box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
            box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (building_at(x + dx, y + dy) && !in[(y + dy) * size + x + dx]) {
                        in[(y + dy) * size + x + dx] = 1;
                        todo.push_back({x + dx, y + dy});
                    }
        }
        return in;
    }

    static TempDir* dir;
    static std::vector<std::uint8_t> buildings, shadows;
    static std::vector<TruthBuilding> truth;
};

TempDir* SampleFiles::dir = nullptr;
std::vector<std::uint8_t> SampleFiles::buildings, SampleFiles::shadows;
std::vector<TruthBuilding> SampleFiles::truth;

TEST_F(SampleFiles, EveryFileWithItsSize)
{
    EXPECT_EQ(list_files(dir->path()), sample_names);
    const std::uint64_t bmp_size = 1078 + size * size;
    for (const char* name : {"aerial.bmp", "buildings.bmp", "shadows.bmp"}) EXPECT_EQ(read_bytes(dir->file(name)).size(), bmp_size);
    EXPECT_EQ(read_bytes(dir->file("roads.raw")).size(), 1u * size * size);
    EXPECT_EQ(read_bytes(dir->file("dtm.raw")).size(), 4u * size * size);
    EXPECT_EQ(read_bytes(dir->file("temperature.raw")).size(), 4u * size * size);
}

TEST_F(SampleFiles, BmpHeadersAndPalettes)
{
    for (const char* name : {"aerial.bmp", "buildings.bmp", "shadows.bmp"}) {
        const Bytes b = read_bytes(dir->file(name));
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(le32(b, 2), b.size());
        EXPECT_EQ(le32(b, 10), 1078u);
        EXPECT_EQ(le32(b, 14), 40u);
        EXPECT_EQ(le32(b, 18), 1024u);
        EXPECT_EQ(le32(b, 22), 1024u);
        EXPECT_EQ(le16(b, 28), 8u);
        EXPECT_EQ(le32(b, 46), 256u);
    }
    // Palette entries as blue, green, red, reserved from offset 54.
    auto entry = [](const Bytes& b, int i) { return le32(b, 54 + 4 * i) & 0xFFFFFF; };  // 0xRRGGBB
    const Bytes aerial = read_bytes(dir->file("aerial.bmp"));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(entry(aerial, i), 0x010101u * i);
    const Bytes buildings_bmp = read_bytes(dir->file("buildings.bmp"));
    const Bytes shadows_bmp = read_bytes(dir->file("shadows.bmp"));
    EXPECT_EQ(entry(buildings_bmp, 0), 0u);
    EXPECT_EQ(entry(buildings_bmp, 1), 0xFF0000u);
    EXPECT_EQ(entry(shadows_bmp, 0), 0u);
    EXPECT_EQ(entry(shadows_bmp, 1), 0x0000FFu);
    for (int i = 2; i < 256; ++i) {
        EXPECT_EQ(entry(buildings_bmp, i), 0x010101u * i);
        EXPECT_EQ(entry(shadows_bmp, i), 0x010101u * i);
    }
    // One class colour on black; roofs and shadows never overlap.
    int roof = 0, shade = 0;
    for (int i = 0; i < size * size; ++i) {
        ASSERT_LE(buildings[i], 1);
        ASSERT_LE(shadows[i], 1);
        ASSERT_FALSE(buildings[i] && shadows[i]);
        roof += buildings[i];
        shade += shadows[i];
    }
    EXPECT_GT(roof, 60000);
    EXPECT_GT(shade, 20000);
}

TEST_F(SampleFiles, DimensionFilesHeadersAndWorldFiles)
{
    for (const char* name : {"roads.dim", "dtm.dim", "temperature.dim"}) EXPECT_EQ(read_text(dir->file(name)), "1024\t1024\n");
    for (const char* name : {"aerial.bpw", "buildings.bpw", "shadows.bpw", "temperature.rww"})
        EXPECT_EQ(read_text(dir->file(name)), "0.5\n0\n0\n-0.5\n500000\n5000512\n") << name;
    EXPECT_EQ(read_text(dir->file("roads.rww")), "2\n0\n0\n-2\n501000\n5002048\n");
    EXPECT_EQ(read_text(dir->file("dtm.hdr")),
              "ENVI\ndescription = {dtm.}\nsamples = 1024\nlines = 1024\nbands = 1\nheader offset = 0\n"
              "file type = ENVI Standard\ndata type = 4\ninterleave = bsq\nsensor type = Unknown\nbyte order = 0\n");
    EXPECT_NE(read_text(dir->file("temperature.hdr")).find("description = {temperature.}\n"), std::string::npos);
}

TEST_F(SampleFiles, TruthFileDescribesTheBuildingsOfTheClassMap)
{
    ASSERT_GE(truth.size(), 80u);
    std::map<std::string, int> shapes;
    std::vector<std::uint8_t> covered(size * size, 0);
    for (const TruthBuilding& b : truth) {
        ++shapes[b.shape];
        EXPECT_EQ(b.id, static_cast<int>(&b - &truth[0]) + 1);
        EXPECT_GE(b.height_m, 3.0);
        EXPECT_LE(b.height_m, 14.0);
        EXPECT_NEAR(b.shadow_px, b.height_m / (std::tan(60 * pi / 180) * 0.5), 0.006) << b.id;
        ASSERT_TRUE(building_at(b.seed_x, b.seed_y)) << b.id;
        int box[4];
        const std::vector<std::uint8_t> in = component(b.seed_x, b.seed_y, box);
        if (b.shape == "corner_pair") {
            // Two blocks touching at a corner: one blob, the pair's boxes inside it.
            EXPECT_LE(box[0], b.x_min);
            EXPECT_LE(box[1], b.y_min);
            EXPECT_GE(box[2], b.x_max);
            EXPECT_GE(box[3], b.y_max);
        } else {
            EXPECT_EQ(box[0], b.x_min) << b.id;
            EXPECT_EQ(box[1], b.y_min) << b.id;
            EXPECT_EQ(box[2], b.x_max) << b.id;
            EXPECT_EQ(box[3], b.y_max) << b.id;
        }
        for (int i = 0; i < size * size; ++i) covered[i] |= in[i];
    }
    EXPECT_EQ(covered, buildings);  // every roof pixel belongs to a listed building
    for (const char* shape : {"rectangle", "L", "U", "courtyard", "T", "corner_pair"}) EXPECT_GE(shapes[shape], 3) << shape;
}

// Walks from the centre of each roof pixel in the direction the shadows fall
// (cos 40, sin 40 with y up the picture) in steps of 1/16 pixel. Once the walk
// has left the roof for good, roof or shadow must continue for the shadow's
// full length, and give way to open ground at most 2.5 pixels later (the
// sampling of a pixel grid). Tests every building, every roof pixel.
TEST_F(SampleFiles, EveryShadowHasTheLengthItsHeightImplies)
{
    const double dx = std::cos(40 * pi / 180), dy = -std::sin(40 * pi / 180);
    int rays = 0;
    for (const TruthBuilding& b : truth) {
        int box[4];
        const std::vector<std::uint8_t> own = component(b.seed_x, b.seed_y, box);
        const double length = b.shadow_px;
        double sum = 0;
        int count = 0;
        for (int py = box[1]; py <= box[3]; ++py)
            for (int px = box[0]; px <= box[2]; ++px) {
                if (!own[py * size + px]) continue;
                // The last step on a roof within reach of the shadow.
                int last_roof = 0;
                const int reach = static_cast<int>((length + 4) * 16);
                for (int k = 1; k <= reach; ++k) {
                    const int x = static_cast<int>(std::floor(px + 0.5 + dx * k / 16));
                    const int y = static_cast<int>(std::floor(py + 0.5 + dy * k / 16));
                    if (building_at(x, y)) last_roof = k;
                }
                if (last_roof > 16) continue;  // the walk crosses the building again: not an edge pixel
                int end = last_roof + 1;
                for (;; ++end) {
                    const int x = static_cast<int>(std::floor(px + 0.5 + dx * end / 16));
                    const int y = static_cast<int>(std::floor(py + 0.5 + dy * end / 16));
                    if (!shadow_at(x, y) && !building_at(x, y)) break;
                }
                const double run = end / 16.0;
                EXPECT_GE(run, length) << b.id << " from " << px << "," << py;
                EXPECT_LE(run, length + 2.5) << b.id << " from " << px << "," << py;
                sum += run;
                ++count;
            }
        ASSERT_GT(count, 10) << b.id;
        // On average the walk passes the length by about the half pixel a
        // roof pixel's square reaches beyond its centre.
        EXPECT_GE(sum / count, length) << b.id;
        EXPECT_LE(sum / count, length + 1.5) << b.id;
        rays += count;
    }
    EXPECT_GT(rays, 5000);
}

// No shadow reaches another building or another building's shadow: every
// 8-connected patch of shadow touches exactly one building blob.
TEST_F(SampleFiles, ShadowsTouchOnlyTheirOwnBuilding)
{
    std::vector<int> blob(size * size, 0);
    int blobs = 0;
    for (const TruthBuilding& b : truth) {
        if (blob[b.seed_y * size + b.seed_x]) continue;
        int box[4];
        const std::vector<std::uint8_t> in = component(b.seed_x, b.seed_y, box);
        ++blobs;
        for (int i = 0; i < size * size; ++i)
            if (in[i]) blob[i] = blobs;
    }
    std::vector<std::uint8_t> seen(size * size, 0);
    int patches = 0;
    for (int start = 0; start < size * size; ++start) {
        if (!shadows[start] || seen[start]) continue;
        ++patches;
        std::vector<int> todo = {start};
        seen[start] = 1;
        std::vector<int> touched;
        while (!todo.empty()) {
            const int i = todo.back();
            todo.pop_back();
            const int x = i % size, y = i / size;
            for (int ny = y - 1; ny <= y + 1; ++ny)
                for (int nx = x - 1; nx <= x + 1; ++nx) {
                    if (building_at(nx, ny)) {
                        const int owner = blob[ny * size + nx];
                        if (std::find(touched.begin(), touched.end(), owner) == touched.end()) touched.push_back(owner);
                    } else if (shadow_at(nx, ny) && !seen[ny * size + nx]) {
                        seen[ny * size + nx] = 1;
                        todo.push_back(ny * size + nx);
                    }
                }
        }
        EXPECT_EQ(touched.size(), 1u) << "shadow patch at " << start % size << "," << start / size;
    }
    EXPECT_GE(patches, blobs);  // courtyards add a patch inside
}

// Kestrom's test on the terrain model: the highest value within 2 pixels of
// the crossing against the means 10 and 11 pixels away along the row and
// along the column.
double crossing_excess(const std::vector<float>& dtm, int x, int y)
{
    auto at = [&](int i, int j) { return i >= 0 && j >= 0 && i < size && j < size ? dtm[j * size + i] : 0.0f; };
    float peak = 0;
    for (int j = y - 2; j <= y + 2; ++j)
        for (int i = x - 2; i <= x + 2; ++i) peak = std::max(peak, at(i, j));
    float row = 0, column = 0;
    for (int d : {10, 11})
        for (int s : {-1, 1}) {
            row += at(x + s * d, y) + at(x + s * d, y + 1);
            column += at(x, y + s * d) + at(x + 1, y + s * d);
        }
    return std::max(peak - row / 8, peak - column / 8);
}

TEST_F(SampleFiles, RaisedCrossingsStandOutOfTheTerrain)
{
    const std::vector<float> dtm = floats_of(read_bytes(dir->file("dtm.raw")));
    for (float h : dtm) {
        ASSERT_GT(h, 150.0f);
        ASSERT_LT(h, 300.0f);
    }
    std::istringstream crossroads(read_text(dir->file("crossroads.txt")));
    std::istringstream truth_text(read_text(dir->file("roads_truth.txt")));
    std::string line;
    int crossings = 0, raised = 0;
    while (std::getline(truth_text, line)) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind != "crossing") continue;
        int a, b, x, y, over;
        double rise;
        fields >> a >> b >> x >> y >> over >> rise;
        ASSERT_TRUE(fields) << line;
        // The crossroads file holds the pair, and their lines cross there.
        double v[8];
        for (double& c : v) crossroads >> c;
        ASSERT_TRUE(crossroads);
        const double m1 = (v[3] - v[1]) / (v[2] - v[0]), m2 = (v[7] - v[5]) / (v[6] - v[4]);
        const double cx = (v[5] - v[4] * m2 - (v[1] - v[0] * m1)) / (m1 - m2), cy = cx * m1 + (v[1] - v[0] * m1);
        EXPECT_EQ(static_cast<int>(cx), x) << line;
        EXPECT_EQ(static_cast<int>(cy), y) << line;
        EXPECT_GE(x, 11);
        EXPECT_LT(x, size - 12);
        const double excess = crossing_excess(dtm, x, y);
        if (over >= 0) {
            EXPECT_GE(excess, 3.0) << line;
            ++raised;
        } else {
            EXPECT_LT(excess, 2.0) << line;
        }
        ++crossings;
    }
    EXPECT_GE(crossings, 10);
    EXPECT_EQ(raised, 3);
}

TEST_F(SampleFiles, RoadsAreThinDarkLinesOnBrighterFields)
{
    const Bytes roads = read_bytes(dir->file("roads.raw"));
    const samples::Countryside land = samples::make_countryside();
    long dark = 0, road_pixels = 0, bright = 0, field_pixels = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            bool road = false;
            for (const samples::Band& r : land.roads) road = road || r.covers(x, y);
            const int v = roads[y * size + x];
            if (road) {
                ++road_pixels;
                dark += v < 80;
            } else {
                ++field_pixels;
                bright += v > 110;
            }
        }
    EXPECT_EQ(dark, road_pixels);
    EXPECT_GT(bright, field_pixels * 95 / 100);  // the rest are woods
    for (const samples::Band& r : land.roads) {
        EXPECT_GE(r.width_tenths, 10);
        EXPECT_LE(r.width_tenths, 30);
    }
}

TEST_F(SampleFiles, TemperatureIsAPlausibleKelvinField)
{
    const std::vector<float> kelvin = floats_of(read_bytes(dir->file("temperature.raw")));
    double roofs = 0, ground = 0;
    long n_roofs = 0, n_ground = 0;
    for (int i = 0; i < size * size; ++i) {
        ASSERT_GT(kelvin[i], 285.0f);
        ASSERT_LT(kelvin[i], 320.0f);
        if (buildings[i]) {
            roofs += kelvin[i];
            ++n_roofs;
        } else if (!shadows[i]) {
            ground += kelvin[i];
            ++n_ground;
        }
    }
    EXPECT_GT(roofs / n_roofs, ground / n_ground + 2);
}

// FNV-1a, 64 bits.
std::uint64_t fingerprint(const Bytes& bytes)
{
    std::uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ULL;
    return h;
}

TEST_F(SampleFiles, SameBytesOnEveryRun)
{
    TempDir again;
    ASSERT_EQ(make_samples(again.path()).status, 0);
    for (const std::string& name : sample_names)
        EXPECT_EQ(read_bytes(dir->file(name)), read_bytes(again.file(name))) << name;
    // And on every platform: the fingerprints of this version of the scenes.
    std::ostringstream prints;
    for (const std::string& name : sample_names) {
        char text[64];
        std::snprintf(text, sizeof text, "%s %016llx\n", name.c_str(),
                      static_cast<unsigned long long>(fingerprint(read_bytes(dir->file(name)))));
        prints << text;
    }
    // They change only when the scenes are changed on purpose.
    EXPECT_EQ(prints.str(),
              "aerial.bmp da641d69bffad58c\n"
              "aerial.bpw 22bf160f1c239630\n"
              "buildings.bmp 8c6914515742221a\n"
              "buildings.bpw 22bf160f1c239630\n"
              "buildings_truth.txt eef323cfb83b4ce0\n"
              "crossroads.txt 82561f7c3a13db98\n"
              "dtm.dim 227d30cb8c748814\n"
              "dtm.hdr 210034846134bf4b\n"
              "dtm.raw 86448c89c1a18620\n"
              "roads.dim 227d30cb8c748814\n"
              "roads.raw 61155a25727a8eb1\n"
              "roads.rww ab32a5c89cd09b5f\n"
              "roads_truth.txt 831165dc8d5c0c11\n"
              "shadows.bmp 498685c069d2f3b4\n"
              "shadows.bpw 22bf160f1c239630\n"
              "temperature.dim 227d30cb8c748814\n"
              "temperature.hdr dca244a3b5152bf0\n"
              "temperature.raw f6d5d1e8fab69d2a\n"
              "temperature.rww 22bf160f1c239630\n");
}

TEST(MakeSamples, RefusesAMissingFolderAndWrongArguments)
{
    TempDir dir;
    RunResult r = run_program("../tools-bin/make_samples", {dir.file("none")}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("is not a folder"), std::string::npos);
    r = run_program("../tools-bin/make_samples", {}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(list_files(dir.path()).empty());
}

// The aerial image, sliced at the stated threshold, is the building mask
// with its clutter: bright cars, glints and fences added, dark roof spots
// taken out. The clutter includes what a mask cleaner removes: specks,
// one-pixel diagonal contacts and small holes.
TEST(Town, AerialSlicesIntoTheBuildingMaskWithItsClutter)
{
    const samples::Town town = samples::make_town(20240611);
    const Grid<std::uint8_t> aerial = samples::aerial_image(town);
    const Grid<std::uint8_t> roofs = samples::building_class(town);
    int bright = 0, spots = 0;
    Grid<std::uint8_t> mask(size, size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const samples::Clutter c = town.clutter(x, y);
            const bool expected = (roofs(x, y) && c != samples::Clutter::dark_spot) || c == samples::Clutter::bright;
            mask(x, y) = aerial(x, y) > samples::roof_threshold;
            ASSERT_EQ(mask(x, y), expected) << x << "," << y;
            bright += c == samples::Clutter::bright && !roofs(x, y);
            spots += c == samples::Clutter::dark_spot;
        }
    EXPECT_GT(bright, 200);
    EXPECT_GE(spots, 4 * 10);
    // Diagonal-only contacts: 2 x 2 windows holding two pixels on one diagonal.
    int diagonal = 0;
    for (int y = 0; y + 1 < size; ++y)
        for (int x = 0; x + 1 < size; ++x) {
            const int a = mask(x, y), b = mask(x + 1, y), c = mask(x, y + 1), d = mask(x + 1, y + 1);
            diagonal += (a && d && !b && !c) || (b && c && !a && !d);
        }
    EXPECT_GE(diagonal, 20);
}

}  // namespace
