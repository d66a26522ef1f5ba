#include "geo_input.h"

#include "file.h"
#include "geotransform.h"
#include "sidecar_names.h"
#include "standard_world_file.h"

#if SUITE_HAVE_GDAL
#include "crs.h"
#endif

#include <cmath>
#include <new>

bool gdal_built_in()
{
    return SUITE_HAVE_GDAL != 0;
}

#if !SUITE_HAVE_GDAL

// Without GDAL only the suite's own formats are read. (With it, these come
// from the GDAL module through gdal_door.cpp.)

namespace {

GeoProblem without_gdal(const std::string& path)
{
    return {GeoProblem::Kind::cannot_open, path, "this build reads only BMP and RAW files"};
}

}  // namespace

bool gdal_opens(const std::string&)
{
    return false;
}

GeoProblem describe_through_gdal(const std::string& path, GdalRasterFacts&, Georeference&)
{
    return without_gdal(path);
}

GeoProblem read_bytes_through_gdal(const std::string& path, Grid<std::uint8_t>&, Georeference&, ClassMapColours*)
{
    return without_gdal(path);
}

GeoProblem read_floats_through_gdal(const std::string& path, Grid<float>&, bool, Georeference&)
{
    return without_gdal(path);
}

#endif

InputProblem read_class_map(const std::string& path, Grid<std::int32_t>& Matrice, Extent& dim,
                            ClassMapColours& colours, Georeference& georeference)
{
    InputProblem problem;
    BmpPalette palette{};
    problem.raster = bmp_grayscale256_open(path, Matrice, dim, &palette);
    if (!problem.raster) {
        colours = ClassMapColours{};
        colours.has_colour_table = true;
        colours.entry_count = 256;
        for (int i = 0; i < 256; ++i) {
            const std::uint8_t* entry = palette.data() + 4 * i;
            colours.packed[static_cast<std::size_t>(i)] = entry[0] + 256 * entry[1] + 65536 * entry[2];
        }
        return problem;
    }
    if (problem.raster != RasterProblem::Kind::not_bmp) return problem;

#if SUITE_HAVE_GDAL
    Georeference read;
    Grid<std::uint8_t> values;
    ClassMapColours read_colours;
    problem.geo = read_bytes_through_gdal(path, values, read, &read_colours);
    if (problem.geo) return problem;
    colours = read_colours;
    try {
        Matrice.resize(values.width(), values.height());
    } catch (const std::bad_alloc&) {
        problem.geo = {GeoProblem::Kind::out_of_memory, path};
        return problem;
    }
    std::int32_t key[256];
    for (int v = 0; v < 256; ++v) key[v] = colours.class_key(static_cast<std::uint8_t>(v));
    for (std::size_t i = 0; i < values.cells().size(); ++i) Matrice.cells()[i] = key[values.cells()[i]];
    dim = {values.width(), values.height()};
    georeference = read;
    problem.raster = {};
#else
    (void)colours;
    (void)georeference;
#endif
    return problem;
}

namespace {

// The CRS of a ".prj"; without GDAL its text as it stands.
GeoProblem read_crs_file(const std::string& prj, std::string& crs)
{
#if SUITE_HAVE_GDAL
    return read_prj_file(prj, crs);
#else
    File file = open_file(prj, "rb");
    std::string text;
    for (int c = file ? std::fgetc(file.get()) : EOF; c != EOF; c = std::fgetc(file.get()))
        text.push_back(static_cast<char>(c));
    crs = text;
    return {};
#endif
}

std::optional<std::string> prj_beside(const std::string& path)
{
    return first_existing(sidecar_spellings(path, "prj"));
}

}  // namespace

GeoProblem complete_georeference(const std::string& input, Georeference& georeference)
{
    if (!georeference.world.complete) {
        if (const auto standard = find_standard_world_file(input)) {
            WorldFile world;
            if (GeoProblem problem = read_standard_world_file(*standard, world)) return problem;
            georeference.world = world;
        }
    }
    if (georeference.crs.empty())
        if (const auto prj = prj_beside(input)) return read_crs_file(*prj, georeference.crs);
    return {};
}

std::vector<std::string> georeference_files(const std::string& input)
{
    std::vector<std::string> files;
    for (const auto& file : {find_standard_world_file(input), prj_beside(input)})
        if (file) files.push_back(*file);
    return files;
}

GeoProblem data_file_georeference(const std::string& data_path, const WorldFile& suite_world,
                                  const std::optional<std::string>& suite_world_path, Georeference& georeference,
                                  std::vector<std::string>& files_read)
{
    std::optional<std::string> world_path;
    if (suite_world.complete) {
        georeference.world = suite_world;
        world_path = suite_world_path;
    } else if ((world_path = first_existing(sidecar_spellings(data_path, "wld")))) {
        files_read.push_back(*world_path);
        if (GeoProblem problem = read_standard_world_file(*world_path, georeference.world)) return problem;
    }
    std::optional<std::string> prj = prj_beside(data_path);
    if (!prj && world_path) prj = prj_beside(*world_path);
    if (!prj) return {};
    files_read.push_back(*prj);
    return read_crs_file(*prj, georeference.crs);
}

namespace {

bool crs_match(const std::string& first, const std::string& second)
{
#if SUITE_HAVE_GDAL
    return same_crs(first, second);
#else
    return first == second;
#endif
}

// Whether the outer corners of two placed width x height rasters lie within
// a thousandth of a pixel of one another.
bool same_corners(const WorldFile& first, const WorldFile& second, int width, int height)
{
    const double tolerance_x = std::fabs(first.cell_x()) / 1000, tolerance_y = std::fabs(first.cell_y()) / 1000;
    const Geotransform a = geotransform_from_world_file(first), b = geotransform_from_world_file(second);
    for (const double c : {0.0, double(width)})
        for (const double r : {0.0, double(height)}) {
            const double dx = (a[0] + c * a[1] + r * a[2]) - (b[0] + c * b[1] + r * b[2]);
            const double dy = (a[3] + c * a[4] + r * a[5]) - (b[3] + c * b[4] + r * b[5]);
            if (!(std::fabs(dx) <= tolerance_x && std::fabs(dy) <= tolerance_y)) return false;
        }
    return true;
}

}  // namespace

std::optional<Georeference> shared_georeference(const Georeference& first, const Georeference& second, int width,
                                                int height)
{
    if (first.placed() && second.placed() && !same_corners(first.world, second.world, width, height))
        return std::nullopt;
    if (!first.crs.empty() && !second.crs.empty() && !crs_match(first.crs, second.crs)) return std::nullopt;
    Georeference shared = first;
    if (!shared.placed()) shared.world = second.world;
    if (shared.crs.empty()) shared.crs = second.crs;
    if (!shared.nodata) shared.nodata = second.nodata;
    shared.through_gdal = first.through_gdal || second.through_gdal;
    return shared;
}
