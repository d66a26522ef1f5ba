#include "sample_files.h"

#include "bmp.h"
#include "countryside.h"
#include "file.h"
#include "fixed_point.h"
#include "paths.h"
#include "raw.h"
#include "sun.h"
#include "town.h"
#include "town_rasters.h"
#include "world_file.h"

#include <cstdarg>
#include <cstdio>

namespace samples {

namespace {

// Writes the files of one folder and keeps their names; the first failure
// is reported and ends the writing.
class SampleWriter {
public:
    SampleWriter(const std::string& folder, std::vector<std::string>& written) : folder_(folder), written_(written)
    {
    }

    bool ok() const { return ok_; }

    void grey_bmp(const std::string& name, const Grid<std::uint8_t>& image)
    {
        if (ok_) done(name, bmp_grayscale256_create(path(name), image));
    }

    // A class map with class_palette; `cls` is 1 on the class.
    void class_bmp(const std::string& base, const Grid<std::uint8_t>& cls, std::uint8_t red, std::uint8_t green,
                   std::uint8_t blue)
    {
        if (!ok_) return;
        MaskFileState state;
        state.palette = class_palette(red, green, blue);
        state.b_value = 1;
        Grid<std::uint8_t> bordered(cls.width() + 2, cls.height() + 2, 0);
        for (int y = 0; y < cls.height(); ++y)
            for (int x = 0; x < cls.width(); ++x) bordered(x + 1, y + 1) = cls(x, y);
        done(base + ".bmp", bmp_256_create(path(base + ".bmp"), bordered, state, true));
    }

    void raw_bytes(const std::string& base, const Grid<std::uint8_t>& image)
    {
        if (ok_) done(base + ".raw", write_raw_bytes(path(base + ".raw"), image));
        dim(base, image.width(), image.height());
    }

    // A float raster with its ".dim" and an ENVI header for GIS viewers.
    void raw_floats(const std::string& base, const Grid<float>& image)
    {
        if (ok_) done(base + ".raw", write_raw_floats(path(base + ".raw"), image));
        dim(base, image.width(), image.height());
        if (ok_) done(base + ".hdr", write_envi_header(path(base + ".hdr"), base, image.width(), image.height()));
    }

    void world(const std::string& name, double easting, double northing, double pixel_m)
    {
        WorldFile w;
        w.values = {pixel_m, 0.0, 0.0, -pixel_m, easting, northing};
        if (ok_) done(name, write_world_file(path(name), w));
    }

    void text(const std::string& name, const std::string& content)
    {
        if (!ok_) return;
        File file = open_file(path(name), "wb");
        const bool wrote = file && std::fwrite(content.data(), 1, content.size(), file.get()) == content.size();
        done(name, close_written_file(file) && wrote ? std::error_code() : std::make_error_code(std::errc::io_error));
    }

private:
    std::string path(const std::string& name) const { return join_folder(folder_, name); }

    void dim(const std::string& base, int width, int height)
    {
        if (ok_) done(base + ".dim", write_dim_file(path(base + ".dim"), width, height));
    }

    void done(const std::string& name, std::error_code error)
    {
        if (!error) {
            written_.push_back(name);
            return;
        }
        std::printf("\nError: cannot write '%s': %s\n", path(name).c_str(), error.message().c_str());
        ok_ = false;
    }

    std::string folder_;
    std::vector<std::string>& written_;
    bool ok_ = true;
};

// printf into a string (lines of the text files are short).
std::string line(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string buildings_truth(const Town& town)
{
    std::string out;
    out += "# Sample town: the true height of every building.\n";
    out += line("# Sun azimuth %d, elevation %d degrees; pixel size %s m. Shadows fall in direction\n",
                sun_azimuth_degrees, sun_elevation_degrees, two_decimals(pixel_size_cm).c_str());
    out += "# (cos azimuth, sin azimuth) with y counted up the picture; shadow_px = height / (tan elevation * pixel size).\n";
    out += "# Pixel columns x from the left, rows y from the top; seed is one pixel of the building.\n";
    out += "# id shape x_min y_min x_max y_max height_m shadow_px seed_x seed_y\n";
    for (const Building& b : town.buildings) {
        const Footprint& f = b.footprint;
        const Pixel seed = f.pixels().front();
        const std::int64_t shadow_hundredths = divide_rounded(shadow_length(b.height_cm) * 100, fixed_one);
        out += line("%d %s %d %d %d %d %s %s %d %d\n", b.id, shape_name(b.shape), f.x_min(), f.y_min(), f.x_max(),
                    f.y_max(), two_decimals(b.height_cm).c_str(), two_decimals(shadow_hundredths).c_str(), seed.x,
                    seed.y);
    }
    return out;
}

// Kestrom's input: one pair of crossing roads per line, each road by the two
// ends of its centre line (pixel columns and rows from the top).
std::string crossroads(const Countryside& land)
{
    std::string out;
    for (const Crossing& c : land.crossings) {
        const Band& a = land.roads[c.first];
        const Band& b = land.roads[c.second];
        out += line("%d %d %d %d %d %d %d %d\n", a.x1, a.y1, a.x2, a.y2, b.x1, b.y1, b.x2, b.y2);
    }
    return out;
}

std::string roads_truth(const Countryside& land)
{
    std::string out;
    out += "# Sample countryside: the roads and where they cross.\n";
    out += "# Pixel columns x from the left, rows y from the top; widths in pixels.\n";
    out += "# road id x1 y1 x2 y2 width\n";
    for (std::size_t i = 0; i < land.roads.size(); ++i) {
        const Band& r = land.roads[i];
        out += line("road %d %d %d %d %d %s\n", static_cast<int>(i), r.x1, r.y1, r.x2, r.y2,
                    two_decimals(10 * r.width_tenths).c_str());
    }
    out += "# crossing road_a road_b x y raised_road rise_m (x, y the pixel of the crossing; raised_road -1: at grade)\n";
    for (const Crossing& c : land.crossings)
        out += line("crossing %d %d %d %d %d %s\n", c.first, c.second, static_cast<int>(c.x / fixed_one),
                    static_cast<int>(c.y / fixed_one), c.raised_road, two_decimals(c.rise_cm).c_str());
    return out;
}

}  // namespace

std::array<std::uint8_t, 1024> class_palette(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    std::array<std::uint8_t, 1024> palette = grey_palette();
    palette[4] = blue;
    palette[5] = green;
    palette[6] = red;
    return palette;
}

bool write_samples(const std::string& folder, std::vector<std::string>& written)
{
    SampleWriter out(folder, written);

    const Town town = make_town(town_seed);
    out.grey_bmp("aerial.bmp", aerial_image(town));
    out.world("aerial.bpw", town_easting, town_northing, town_pixel_m);
    out.class_bmp("buildings", building_class(town), 255, 0, 0);
    out.world("buildings.bpw", town_easting, town_northing, town_pixel_m);
    out.class_bmp("shadows", shadow_class(town), 0, 0, 255);
    out.world("shadows.bpw", town_easting, town_northing, town_pixel_m);
    out.text("buildings_truth.txt", buildings_truth(town));
    out.raw_floats("temperature", surface_temperature(town));
    out.world("temperature.rww", town_easting, town_northing, town_pixel_m);

    const Countryside land = make_countryside();
    out.raw_bytes("roads", roads_image(land));
    out.world("roads.rww", country_easting, country_northing, country_pixel_m);
    out.raw_floats("dtm", terrain_model(land));
    out.text("crossroads.txt", crossroads(land));
    out.text("roads_truth.txt", roads_truth(land));
    return out.ok();
}

}  // namespace samples
