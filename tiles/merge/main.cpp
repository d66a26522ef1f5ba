// suite-tiles-polvane-merge: the shapefiles of a tiled Polvane run joined
// into those one run on the whole mosaic writes. Run by the tiled work flow
// (suite-tiles) after every tile has been traced.
#include "class_outputs.h"
#include "colour_merge.h"
#include "exit_status.h"
#include "geo_output.h"
#include "output_files.h"
#include "program_main.h"
#include "tile_plan.h"

#if SUITE_HAVE_GDAL
#include "geopackage_writer.h"
#endif

#include <cstdio>

namespace {

// At most this many class colours, as for one run.
constexpr std::size_t max_colori = 253;

// Records handed to the GeoPackage at once.
constexpr std::size_t geopackage_batch = 4096;

const ProgramInfo merge_info = {
    "suite-tiles-polvane-merge",
    "joins the shapefiles of a tiled Polvane run",
    "Usage:\n"
    "  suite-tiles-polvane-merge <plan>\n"
    "\n"
    "Run by suite-tiles: reads the plan of a tiled Polvane run (the mosaic's\n"
    "size, world file, CRS and colour table, the layout and format asked for,\n"
    "the output base name, the tiles with their censuses and shapefiles) and\n"
    "writes <output>_<n>.shp, .shx, .dbf (and .prj) for every class colour of\n"
    "the mosaic, or the GeoPackage <output>.gpkg, as one run of polvane on the\n"
    "whole mosaic writes them. Outputs appear only when all of them are written.\n"
    "\n"
    "Exit status: 0 done; 1 the plan or a tile cannot be read, too many colours,\n"
    "or an output cannot be written.\n",
    {},
    "\nError in memory allocation: the tiles are too large for the memory available\n",
    exit_status::failure,
};

// The class a tile colour stands for, named as one run names it.
ClassColour class_of(const TiledRun& run, std::int32_t colour)
{
    ClassMapColours colours;
    colours.has_colour_table = !run.values;
    colours.packed = run.palette;
    if (run.values) {
        colours.packed = {};
        return class_colour(colours, colours.class_key(static_cast<std::uint8_t>(value_of_tile_colour(colour))));
    }
    return class_colour(colours, colour);
}

// The georeference one run on the mosaic writes with its outputs: the
// plan's world file, and the CRS as that run reads it (through GDAL, then
// the ".prj" beside the raster).
std::optional<std::string> mosaic_georeference(const TiledRun& run, Georeference& georeference)
{
    if (run.source_through_gdal) {
        GdalRasterFacts facts;
        if (const GeoProblem problem = describe_through_gdal(run.source, facts, georeference))
            return problem.message();
    }
    georeference.world = run.world;
    if (!run.source.empty())
        if (const GeoProblem problem = complete_georeference(run.source, georeference)) return problem.message();
    georeference.world = run.world;
    return std::nullopt;
}

int write_failure(const std::string& nome, const ShapefileProblem& problem)
{
    std::printf("\nError in creating '%s'\n", problem.extension);
    report_write_failure(nome + problem.extension, problem.error);
    return exit_status::error;
}

int join_shapefiles(const TiledRun& run, const Georeference& georeference, const std::vector<std::int32_t>& colori,
                    OutputFiles& outputs)
{
    for (std::size_t i = 0; i < colori.size(); ++i) {
        const std::string nome = run.output + "_" + std::to_string(i);
        std::optional<OutputProblem> problem = add_shapefile_outputs(outputs, nome);
        if (!problem) problem = add_sidecar_outputs(outputs, shapefile_sidecars(nome, georeference));
        if (problem) {
            report_output_problem(*problem);
            return exit_status::error;
        }
    }
    for (std::size_t i = 0; i < colori.size(); ++i) {
        const std::string nome = run.output + "_" + std::to_string(i);
        std::printf("Joining colour %d/%d\n", static_cast<int>(i) + 1, static_cast<int>(colori.size()));
        ColourRecords records(run, colori[i]);
        ShapefileOptions options;
        options.world = run.world;
        if (run.gis) {
            options.rings = RingOrientation::esri;
            options.true_extent = true;
            options.columns = class_columns(static_cast<int>(i), class_of(run, colori[i]), records.sizes().size());
        }
        ShapefilePaths files;
        if (const auto problem = shapefile_temporaries(outputs, nome, files)) return write_failure(nome, *problem);
        const auto fetch = [&records](std::size_t n, RecordArrays& record) { records.fetch(n, record); };
        if (const auto problem = gen_file_shp_by_record(files, records.sizes(), fetch, run.width, run.height, options,
                                                        records.extent()))
            return write_failure(nome, *problem);
        if (const auto sidecar = write_sidecars(outputs, shapefile_sidecars(nome, georeference), georeference)) {
            std::printf("\nError: cannot write '%s': %s\n", sidecar->path.c_str(), sidecar->reason.c_str());
            return exit_status::error;
        }
    }
    return exit_status::success;
}

int join_geopackage(const TiledRun& run, const Georeference& georeference, const std::vector<std::int32_t>& colori,
                    OutputFiles& outputs)
{
#if SUITE_HAVE_GDAL
    if (colori.empty()) return exit_status::success;  // one run writes no GeoPackage either
    const std::string name = run.output + ".gpkg";
    if (const auto problem = outputs.add_output(name)) {
        report_output_problem(*problem);
        return exit_status::error;
    }
    const OutputFiles::Temporary temporary = outputs.temporary(name);
    if (temporary.problem) {
        report_output_problem(*temporary.problem);
        return exit_status::error;
    }
    GeoPackageLayout layout;
    layout.layer_name = run.layer;
    layout.shape_type = shape_type_polygon;
    for (const std::string& field : class_field_names()) layout.fields.push_back({field, FieldType::integer});
    layout.crs_wkt = georeference.crs;
    layout.world = run.world;
    layout.width = run.width;
    layout.height = run.height;
    GeoPackageWriter writer;
    GeoProblem problem = writer.create(temporary.path, layout);
    for (std::size_t i = 0; i < colori.size() && !problem; ++i) {
        std::printf("Joining colour %d/%d\n", static_cast<int>(i) + 1, static_cast<int>(colori.size()));
        ColourRecords records(run, colori[i]);
        const ClassColour colour = class_of(run, colori[i]);
        RecordArrays batch;
        for (std::size_t first = 0; first < records.sizes().size() && !problem; first += geopackage_batch) {
            const std::size_t count = std::min(geopackage_batch, records.sizes().size() - first);
            batch.clear();
            for (std::size_t n = first; n < first + count; ++n) records.fetch(n, batch);
            problem = writer.append(batch, class_field_values(static_cast<int>(i), colour, count));
        }
    }
    if (!problem) problem = writer.finish();
    if (problem) {
        std::printf("\nError: %s\n", problem.message().c_str());
        return exit_status::error;
    }
    return exit_status::success;
#else
    (void)run;
    (void)georeference;
    (void)colori;
    (void)outputs;
    std::printf("\nError: this build writes no GeoPackage (it needs GDAL)\n");
    return exit_status::error;
#endif
}

int run_merge(CommandLine& line)
{
    if (line.argc() != 2) {
        std::fputs(merge_info.usage.c_str(), stdout);
        return exit_status::error;
    }
    TiledRun run;
    if (const auto problem = read_plan(line.argv()[1], run)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::error;
    }
    const std::vector<std::int32_t> colori = mosaic_census(run);
    if (colori.size() > max_colori) {
        std::printf("\n Too much color");
        return exit_status::error;
    }
    std::printf("\nThe color number is %d\n", static_cast<int>(colori.size()));

    Georeference georeference;
    if (const auto problem = mosaic_georeference(run, georeference)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::error;
    }
    OutputFiles outputs;
    int status = exit_status::success;
    try {
        status = run.geopackage ? join_geopackage(run, georeference, colori, outputs)
                                : join_shapefiles(run, georeference, colori, outputs);
    } catch (const std::runtime_error& error) {
        std::printf("\nError: %s\n", error.what());
        return exit_status::error;
    }
    if (status != exit_status::success) return status;
    if (const auto problem = outputs.commit()) {
        report_output_problem(*problem);
        return exit_status::error;
    }
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    return program_main(argc, argv, merge_info, run_merge);
}
