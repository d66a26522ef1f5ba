// suite-tiles-zonrik: Zonrik over a mosaic in tiles, for suite-tiles.
//
//   suite-tiles-zonrik size -- ZONRIK ARGUMENTS
//       prints the background's width and height, and "gdal" when it is
//       read through GDAL ("raw" otherwise)
//   suite-tiles-zonrik tile X Y W H WINDOW VALUES -- ZONRIK ARGUMENTS
//       the tile of W x H pixels whose top-left pixel is (X, Y) (rows from
//       the top of the background's file): every zone of the run is placed
//       on the whole background and the values of its pixels in the tile
//       are written to VALUES (zone_pieces.h). WINDOW is the tile's window
//       of a background read through GDAL, as a raster GDAL reads ("-" for
//       a RAW background, whose window is read from the file itself)
//   suite-tiles-zonrik merge TILE FOLDER VALUES -- ZONRIK ARGUMENTS
//       the run itself, each zone's values put together from the pieces in
//       FOLDER/r<row>_c<col>/values.bin of tiles of TILE pixels; the value
//       raster and the cover picture are written 1 x 1, and the zones'
//       values (float32) to VALUES
//   suite-tiles-zonrik paint X Y W H WINDOW VALUES RASTER PICTURE -- ...
//       the tile's part of the value raster (RASTER, float32) and of the
//       cover picture (PICTURE, indices), rows from the top, painted with
//       the zones' VALUES
//
// ZONRIK ARGUMENTS are those of one zonrik run, which every mode reads as
// that run reads them, with its messages; a tile's part holds only its tile
// of the background and the zone in hand, the merge no background at all.
#include "background.h"
#include "file.h"
#include "function_choice.h"
#include "geo_input.h"
#include "zone_pieces.h"
#include "zone_statistics.h"
#include "zonrik_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// The background's row from the top of its file of pixel row y (from the
// bottom).
int file_row(const Zonrik& run, int y) { return run.gdal_rows_bottom_first ? y : run.height - 1 - y; }

int run_zonrik_with(Zonrik& run, std::vector<char*> arguments)
{
    static char name[] = "zonrik";
    arguments.insert(arguments.begin(), name);
    return program_main(static_cast<int>(arguments.size()), arguments.data(), zonrik_info(),
                        [&](CommandLine& line) { return run_zonrik(run, line); });
}

struct TileArea {
    int x = 0, top = 0, w = 0, h = 0;
};

// The tile's lowest pixel row (from the bottom).
int first_row(const Zonrik& run, const TileArea& tile)
{
    return run.gdal_rows_bottom_first ? tile.top : run.height - tile.top - tile.h;
}

// The tile's window of the background, bottom row first.
bool read_window(const Zonrik& run, const TileArea& tile, const std::string& window_raster, Grid<float>& window)
{
    if (!run.georeference.through_gdal) {
        File background = open_file(run.named(run.input_back_ground), "rb");
        return background && read_background_window(background.get(), run.sample_layout, tile.x, tile.top, tile.w,
                                                     tile.h, window);
    }
    Georeference ignored;
    if (read_floats_through_gdal(window_raster, window, true, ignored)) return false;
    if (window.width() != tile.w || window.height() != tile.h) return false;
    if (!run.gdal_rows_bottom_first)
        for (int top = 0, bottom = window.height() - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(window.row(top), window.row(top) + window.width(), window.row(bottom));
    return true;
}

// A tile's part of the run: its window of the background, read when the
// first zone reaches into it, and each zone's pixels in the tile with
// their values.
class TileZones {
public:
    TileZones(const Zonrik& run, const TileArea& tile, std::string window_raster)
        : run_(run), tile_(tile), window_raster_(std::move(window_raster))
    {
    }

    // The pixels of the zone of `record` in the tile, in zone order, and
    // their background values; false when the zone has none there.
    bool place(const PixelRecord& record, std::vector<ZonePixel>& pixels, std::vector<float>& values)
    {
        pixels.clear();
        values.clear();
        // Zone pixels lie in floor(Xmin) <= x < floor(Xmax), likewise y.
        const auto& box = record.box;
        const int y0 = first_row(run_, tile_);
        if (std::floor(box[2]) <= tile_.x || std::floor(box[0]) >= tile_.x + tile_.w || std::floor(box[3]) <= y0 ||
            std::floor(box[1]) >= y0 + tile_.h || failed)
            return false;
        if (!window_read_) {
            window_read_ = true;
            failed = !read_window(run_, tile_, window_raster_, window_);
            if (failed) return false;
        }
        for (const ZonePixel& p : rasteriser_.rasterise(record, run_.width, run_.height).pixels)
            if (p.x >= tile_.x && p.x < tile_.x + tile_.w && p.y >= y0 && p.y < y0 + tile_.h) {
                pixels.push_back({p.x - tile_.x, p.y - y0});
                values.push_back(window_(p.x - tile_.x, p.y - y0));
            }
        return !pixels.empty();
    }

    // The window could not be read; prints why.
    bool failed = false;
    int report_failure() const
    {
        std::printf("\nError: the background's window at %d, %d (%d x %d pixels) cannot be read\n", tile_.x, tile_.top,
                    tile_.w, tile_.h);
        return 1;
    }

private:
    const Zonrik& run_;
    TileArea tile_;
    std::string window_raster_;
    Grid<float> window_;
    bool window_read_ = false;
    ZoneRasteriser rasteriser_;
};

int tile_part(const TileArea& tile, const std::string& window_raster, const std::string& values_path,
              std::vector<char*> arguments)
{
    Zonrik run;
    run.read_samples = false;
    PieceWriter pieces(values_path);
    TileZones zones(run, tile, window_raster);
    std::int64_t zone_number = 0;
    std::vector<ZonePixel> pixels;
    std::vector<float> values;
    run.visit_zone = [&](const PixelRecord& record) {
        const std::int64_t zone = zone_number++;
        if (zones.place(record, pixels, values)) pieces.write(zone, values);
    };
    const int status = run_zonrik_with(run, std::move(arguments));
    if (status != 0) return status;
    if (zones.failed) return zones.report_failure();
    if (!pieces.finish()) {
        std::printf("\nError: cannot write '%s'\n", values_path.c_str());
        return 1;
    }
    return 0;
}

// Writes `count` items to a new file; false when it cannot be written whole.
template <typename T>
bool write_file(const std::string& path, const T* items, std::size_t count)
{
    File file = open_file(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(items, sizeof(T), count, file.get()) == count;
    return std::fclose(file.release()) == 0 && written;
}

// The tile's part of the value raster (float32, rows from the top) and, for
// the cover, of the picture (indices, rows from the top): every zone painted
// with its value (`values_path`, from the merge), a later zone over an
// earlier one, as one run paints them.
int paint_part(const TileArea& tile, const std::string& window_raster, const std::string& values_path,
               const std::string& raster_path, const std::string& picture_path, std::vector<char*> arguments)
{
    Zonrik run;
    run.read_samples = false;
    std::vector<float> measured;
    {
        File file = open_file(values_path, "rb");
        float value;
        while (file && std::fread(&value, sizeof value, 1, file.get()) == 1) measured.push_back(value);
        if (!file) {
            std::printf("\nError: cannot read '%s'\n", values_path.c_str());
            return 1;
        }
    }
    TileZones zones(run, tile, window_raster);
    Grid<float> raster(tile.w, tile.h, 0.0f);
    Grid<std::uint8_t> picture;
    std::size_t zone_number = 0;
    std::vector<ZonePixel> pixels;
    std::vector<float> values;
    bool too_few = false;
    run.visit_zone = [&](const PixelRecord& record) {
        const std::size_t zone = zone_number++;
        if (!zones.place(record, pixels, values)) return;
        if (zone >= measured.size()) {
            too_few = true;
            return;
        }
        for (const ZonePixel& p : pixels) raster(p.x, tile.h - 1 - p.y) = measured[zone];
        if (run.f_type != function_code::cover) return;
        if (picture.empty()) picture.resize(tile.w, tile.h, 255);
        const CoverThresholds thresholds{run.cover_max.value_or(0.0f), run.cover_min.value_or(0.0f)};
        const ZoneCover cover = zone_cover(values, thresholds, static_cast<std::uint8_t>(zone % 16));
        for (std::size_t i = 0; i < pixels.size(); ++i) picture(pixels[i].x, tile.h - 1 - pixels[i].y) = cover.indices[i];
    };
    const int status = run_zonrik_with(run, std::move(arguments));
    if (status != 0) return status;
    if (zones.failed) return zones.report_failure();
    if (too_few) {
        std::printf("\nError: '%s' holds fewer zones than the run measures\n", values_path.c_str());
        return 1;
    }
    if (run.f_type == function_code::cover && picture.empty()) picture.resize(tile.w, tile.h, 255);
    if (!write_file(raster_path, raster.cells().data(), raster.cells().size()) ||
        (!picture.empty() && !write_file(picture_path, picture.cells().data(), picture.cells().size()))) {
        std::printf("\nError: cannot write the tile's rasters '%s', '%s'\n", raster_path.c_str(), picture_path.c_str());
        return 1;
    }
    return 0;
}

int merge(int tile_size, const std::string& folder, const std::string& values_path, std::vector<char*> arguments)
{
    Zonrik run;
    run.read_samples = false;
    run.paint_rasters = false;
    bool written = false;
    run.measured = [&](const std::vector<float>& values) {
        written = write_file(values_path, values.data(), values.size());
    };
    std::map<std::int64_t, PieceReader> readers;
    std::map<std::int64_t, std::vector<float>> pieces;
    std::vector<std::int64_t> tile_of_pixel;
    std::int64_t zone_number = 0;
    run.zone_values = [&](const Zone& zone, std::vector<float>& values) {
        const std::int64_t number = zone_number++;
        const std::int64_t columns = (run.width + tile_size - 1) / tile_size;
        tile_of_pixel.clear();
        pieces.clear();
        for (const ZonePixel& p : zone.pixels) {
            const std::int64_t row = file_row(run, p.y) / tile_size, column = p.x / tile_size;
            const std::int64_t tile = row * columns + column;
            tile_of_pixel.push_back(tile);
            if (pieces.count(tile)) continue;
            auto reader = readers.find(tile);
            if (reader == readers.end()) {
                const std::string path =
                    folder + "/r" + std::to_string(row) + "_c" + std::to_string(column) + "/values.bin";
                reader = readers.emplace(tile, PieceReader(path)).first;
            }
            reader->second.take(number, pieces[tile]);
        }
        if (!interleave_pieces(tile_of_pixel, pieces, values))
            throw PieceError("the tiles' values of zone " + std::to_string(number + 1) + " do not fit its pixels");
    };
    const int status = run_zonrik_with(run, std::move(arguments));
    if (status == 0 && !written) {
        std::printf("\nError: cannot write '%s'\n", values_path.c_str());
        return 1;
    }
    return status;
}

bool whole(const char* text, int& value, int minimum)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end || v < minimum || v > 1 << 30) return false;
    value = static_cast<int>(v);
    return true;
}

int usage()
{
    std::fputs("Usage: suite-tiles-zonrik size -- ZONRIK ARGUMENTS\n"
               "       suite-tiles-zonrik tile X Y W H WINDOW VALUES -- ZONRIK ARGUMENTS\n"
               "       suite-tiles-zonrik merge TILE FOLDER VALUES -- ZONRIK ARGUMENTS\n"
               "       suite-tiles-zonrik paint X Y W H WINDOW VALUES RASTER PICTURE -- ZONRIK ARGUMENTS\n",
               stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    int dashes = 1;
    while (dashes < argc && std::strcmp(argv[dashes], "--") != 0) ++dashes;
    if (dashes >= argc || dashes < 2) return usage();
    const std::string mode = argv[1];
    std::vector<char*> arguments(argv + dashes + 1, argv + argc);
    try {
        if (mode == "size" && dashes == 2) {
            Zonrik run;
            run.read_samples = false;
            run.visit_zone = [](const PixelRecord&) {};
            const int status = run_zonrik_with(run, arguments);
            if (status != 0) return status;
            std::printf("\nsize %d %d %s\n", run.width, run.height, run.georeference.through_gdal ? "gdal" : "raw");
            return 0;
        }
        TileArea tile;
        if (mode == "tile" && dashes == 8 && whole(argv[2], tile.x, 0) && whole(argv[3], tile.top, 0) &&
            whole(argv[4], tile.w, 1) && whole(argv[5], tile.h, 1))
            return tile_part(tile, argv[6], argv[7], arguments);
        if (mode == "paint" && dashes == 10 && whole(argv[2], tile.x, 0) && whole(argv[3], tile.top, 0) &&
            whole(argv[4], tile.w, 1) && whole(argv[5], tile.h, 1))
            return paint_part(tile, argv[6], argv[7], argv[8], argv[9], arguments);
        int tile_size = 0;
        if (mode == "merge" && dashes == 5 && whole(argv[2], tile_size, 1))
            return merge(tile_size, argv[3], argv[4], arguments);
    } catch (const PieceError& problem) {
        std::printf("\nError: %s\n", problem.what());
        return 1;
    }
    return usage();
}
