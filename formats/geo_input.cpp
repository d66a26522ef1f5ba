#include "geo_input.h"

#include "file.h"
#include "sidecar_names.h"
#include "standard_world_file.h"

#if SUITE_HAVE_GDAL
#include "crs.h"
#include "gdal_raster.h"
#endif

#include <new>

bool gdal_built_in()
{
    return SUITE_HAVE_GDAL != 0;
}

namespace {

#if SUITE_HAVE_GDAL

// Opens the raster and takes its georeferencing over.
GeoProblem open_raster(const std::string& path, GdalRaster& raster, Georeference& georeference)
{
    if (GeoProblem problem = raster.open(path)) return problem;
    WorldFile world;
    if (GeoProblem problem = raster.world_file(world)) return problem;
    georeference.world = world;
    georeference.crs = raster.info().crs_wkt;
    georeference.nodata = raster.info().nodata;
    georeference.through_gdal = true;
    return {};
}

#else

GeoProblem without_gdal(const std::string& path)
{
    return {GeoProblem::Kind::cannot_open, path, "this build reads only BMP and RAW files"};
}

#endif

}  // namespace

bool gdal_opens(const std::string& path)
{
#if SUITE_HAVE_GDAL
    GdalRaster raster;
    return !raster.open(path);
#else
    (void)path;
    return false;
#endif
}

GeoProblem read_bytes_through_gdal(const std::string& path, Grid<std::uint8_t>& values, Georeference& georeference)
{
#if SUITE_HAVE_GDAL
    GdalRaster raster;
    if (GeoProblem problem = open_raster(path, raster, georeference)) return problem;
    return raster.read_indices(values);
#else
    (void)values;
    (void)georeference;
    return without_gdal(path);
#endif
}

GeoProblem read_floats_through_gdal(const std::string& path, Grid<float>& values, bool nodata_as_nan,
                                    Georeference& georeference)
{
#if SUITE_HAVE_GDAL
    GdalRaster raster;
    if (GeoProblem problem = open_raster(path, raster, georeference)) return problem;
    return raster.read_values(values, nodata_as_nan ? NodataReading::as_nan : NodataReading::as_value);
#else
    (void)values;
    (void)nodata_as_nan;
    (void)georeference;
    return without_gdal(path);
#endif
}

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
    GdalRaster raster;
    Georeference read;
    Grid<std::uint8_t> values;
    problem.geo = open_raster(path, raster, read);
    if (!problem.geo) problem.geo = raster.read_indices(values);
    if (problem.geo) return problem;
    colours = raster.info().colours;
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

GeoProblem complete_georeference(const std::string& input, Georeference& georeference)
{
    if (!georeference.world.complete) {
        if (const auto standard = find_standard_world_file(input)) {
            WorldFile world;
            if (GeoProblem problem = read_standard_world_file(*standard, world)) return problem;
            georeference.world = world;
        }
    }
    if (georeference.crs.empty()) {
        const auto prj = first_existing(sidecar_spellings(input, "prj"));
        if (prj) {
#if SUITE_HAVE_GDAL
            if (GeoProblem problem = read_prj_file(*prj, georeference.crs)) return problem;
#else
            File file = open_file(*prj, "rb");
            std::string text;
            for (int c = file ? std::fgetc(file.get()) : EOF; c != EOF; c = std::fgetc(file.get()))
                text.push_back(static_cast<char>(c));
            georeference.crs = text;
#endif
        }
    }
    return {};
}
