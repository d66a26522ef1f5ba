#include "zone_outputs.h"

#include "bmp.h"
#include "envi_map_info.h"
#include "exit_status.h"
#include "function_choice.h"
#include "geo_output.h"
#include "raw.h"
#include "shapefile_writer.h"

#if SUITE_HAVE_GDAL
#include "geopackage_writer.h"
#include "geotiff_writer.h"
#endif

#include <cstdio>
#include <limits>

namespace {

bool geotiff(const Zonrik& run) { return run.choices.format == OutputFormat::gtiff; }
bool geopackage(const Zonrik& run) { return run.choices.format == OutputFormat::gpkg; }
bool cover(const Zonrik& run) { return run.f_type == function_code::cover; }

std::string raster_name(const Zonrik& run) { return run.named(run.raw_output + (geotiff(run) ? ".tif" : ".raw")); }
std::string picture_name(const Zonrik& run) { return run.raw_output + (geotiff(run) ? "_cover.tif" : ".bmp"); }
std::string geopackage_name(const Zonrik& run) { return run.nome_output_path + ".gpkg"; }

#if SUITE_HAVE_GDAL
// The message of an output written through GDAL that failed (named as
// the user knows it, not by its temporary); the run ends.
int gdal_output_failed(Zonrik& run, GeoProblem problem, const std::string& name)
{
    problem.path = name;
    std::printf("\nError: %s\n", problem.message().c_str());
    run.console.wait_for_key();
    return closing(run, exit_status::error);
}

GeoProblem temporary_problem(const OutputFiles::Temporary& temporary, const std::string& name)
{
    if (!temporary.problem) return {};
    return {GeoProblem::Kind::write_failed, name, temporary_failure(*temporary.problem).message()};
}

RasterGeoreferencing raster_georeferencing(const Zonrik& run, std::optional<double> nodata)
{
    return {run.georeference.world, run.georeference.crs, nodata};
}
#endif

std::optional<int> write_zone_geopackage(Zonrik& run, const ZonalRun& zonal, const std::vector<long long>& record_numbers)
{
#if SUITE_HAVE_GDAL
    const std::string name = geopackage_name(run);
    const OutputFiles::Temporary temporary = run.outputs.temporary(name);
    if (const GeoProblem problem = temporary_problem(temporary, name)) return gdal_output_failed(run, problem, name);
    GeoPackageLayout layout;
    layout.layer_name = run.nome_output_path.substr(run.nome_output_path.find_last_of("/\\") + 1);
    layout.shape_type = shape_type_polygon;
    layout.fields = {{"VALUE", FieldType::real}, {"RECORD", FieldType::integer}};
    layout.crs_wkt = run.georeference.crs;
    layout.world = run.tfw;
    layout.width = run.width;
    layout.height = run.height;
    const FieldColumns columns = {std::vector<double>(zonal.valori_db.begin(), zonal.valori_db.end()),
                                  std::vector<double>(record_numbers.begin(), record_numbers.end())};
    if (const GeoProblem problem = write_geopackage(temporary.path, layout, zonal.records, columns))
        return gdal_output_failed(run, problem, name);
#else
    (void)run, (void)zonal, (void)record_numbers;
#endif
    return std::nullopt;
}

std::optional<int> write_zones(Zonrik& run, const ZonalRun& zonal, const std::vector<long long>& record_numbers)
{
    if (geopackage(run)) return write_zone_geopackage(run, zonal, record_numbers);
    ShapefileOptions options;
    options.shape_type = shape_type_polygon;
    options.world = run.tfw;
    options.table = AttributeTable::value;
    options.values = zonal.valori_db;
    if (run.gis) {
        options.rings = RingOrientation::esri;
        options.true_extent = true;
        options.columns = {IntegerColumn{"RECORD", 10, record_numbers}};
    }
    if (const auto problem =
            write_shapefile_output(run.outputs, run.nome_output_path, zonal.records, run.width, run.height, options)) {
        std::printf("\nError in creating '%s'\n", problem->extension);
        report_write_failure(run.nome_output_path + problem->extension, problem->error);
        run.console.wait_for_key();
        return exit_status::error;
    }
    return std::nullopt;
}

// After the message of a value raster that could not be written: the
// step's own message; the run ends.
int output_image_failed(Zonrik& run)
{
    run.console.wait_for_key();
    std::printf("\nError in creating output image");
    run.console.wait_for_key();
    return closing(run, exit_status::error);
}

std::optional<int> write_raw_raster(Zonrik& run, const ZonalRun& zonal)
{
    const std::string raw_name = raster_name(run);
    const std::string header_name = envi_header_name(raw_name);
    const OutputFiles::Temporary raw = run.outputs.temporary(raw_name);
    const OutputFiles::Temporary header = run.outputs.temporary(header_name);
    std::optional<RasterWriteProblem> problem;
    if (raw.problem)
        problem = RasterWriteProblem{false, temporary_failure(*raw.problem)};
    else if (header.problem)
        problem = RasterWriteProblem{true, temporary_failure(*header.problem)};
    else
        problem = raw_32bit_create({raw.path, header.path}, zone_raster_base(raw_name), zonal.Matrice_output);
    if (problem) {
        if (problem->error == std::errc::not_enough_memory)
            std::fputs("Error in memory allocation\n", stdout);
        else
            std::fputs(problem->in_header ? "\nError in writing .hdr file\n" : "\nError in writing Raw image\n", stdout);
        report_write_failure(problem->in_header ? header_name : raw_name, problem->error);
        return output_image_failed(run);
    }
    // A placed background places the raster: its map info and CRS.
    std::vector<std::string> lines;
    GeoProblem placing = envi_georeference_lines(run.georeference, lines);
    if (!placing && !lines.empty()) placing = append_header_lines(header.path, lines);
    if (placing) {
        placing.path = header_name;
        std::printf("\nError in writing .hdr file\n\nError: %s\n", placing.message().c_str());
        return output_image_failed(run);
    }
    return std::nullopt;
}

std::optional<int> write_value_raster(Zonrik& run, const ZonalRun& zonal)
{
    if (!geotiff(run)) return write_raw_raster(run, zonal);
#if SUITE_HAVE_GDAL
    const std::string name = raster_name(run);
    const OutputFiles::Temporary temporary = run.outputs.temporary(name);
    GeoProblem problem = temporary_problem(temporary, name);
    if (!problem)
        problem = write_geotiff(temporary.path, zonal.Matrice_output, RowOrder::bottom_first,
                                raster_georeferencing(run, std::numeric_limits<double>::quiet_NaN()));
    if (problem) {
        problem.path = name;
        std::printf("\nError: %s\n", problem.message().c_str());
        return output_image_failed(run);
    }
#else
    (void)zonal;
#endif
    return std::nullopt;
}

std::optional<int> write_cover_picture(Zonrik& run, const ZonalRun& zonal)
{
    const std::string picture = picture_name(run);
    const OutputFiles::Temporary temporary = run.outputs.temporary(picture);
    if (geotiff(run)) {
#if SUITE_HAVE_GDAL
        GeoProblem problem = temporary_problem(temporary, picture);
        if (!problem)
            problem = write_geotiff(temporary.path, zonal.Immagine_bmp, RowOrder::bottom_first, zone_palette(),
                                    raster_georeferencing(run, std::nullopt));
        if (problem) return gdal_output_failed(run, problem, picture);
#endif
        return std::nullopt;
    }
    const std::error_code error =
        temporary.problem ? temporary_failure(*temporary.problem) : bmp_256_create(temporary.path, zonal.Immagine_bmp);
    if (!error) return std::nullopt;
    if (error == std::errc::not_enough_memory) {
        std::fputs("\nError in opening bmp image\n", stdout);
        run.console.wait_for_key();
    } else {
        report_output_problem({OutputProblem::Kind::cannot_create, picture, {}, error});
    }
    return closing(run, exit_status::error);
}

}  // namespace

float outside_zones(const Zonrik& run)
{
    return geotiff(run) ? std::numeric_limits<float>::quiet_NaN() : 0.0f;
}

std::optional<int> declare_outputs(Zonrik& run)
{
    std::vector<std::string> outputs, sidecars;
    auto add_sidecars = [&](const std::vector<std::string>& more) { sidecars.insert(sidecars.end(), more.begin(), more.end()); };
    if (geopackage(run)) {
        outputs.push_back(geopackage_name(run));
    } else {
        const ShapefilePaths shapefile = shapefile_paths(run.nome_output_path);
        outputs.insert(outputs.end(), {shapefile.shp, shapefile.shx, shapefile.dbf});
        add_sidecars(shapefile_sidecars(run.nome_output_path, run.georeference));
    }
    const std::string raster = raster_name(run);
    outputs.push_back(raster);
    if (!geotiff(run)) {
        outputs.push_back(envi_header_name(raster));
        add_sidecars(raster_sidecars(raster, run.georeference));
    }
    if (cover(run)) {
        run.report_name = run.named(run.raw_output + "_cover.txt");
        outputs.push_back(picture_name(run));
        if (!geotiff(run)) add_sidecars(raster_sidecars(picture_name(run), run.georeference));
        outputs.push_back(run.report_name);
    } else if (run.f_type == function_code::temperature) {
        run.report_name = run.named(run.raw_output + "_temp.txt");
        outputs.push_back(run.report_name);
    }
    for (const std::string& output : outputs)
        if (const auto problem = run.outputs.add_output(output)) {
            report_output_problem(*problem);
            return closing(run, exit_status::error);
        }
    for (const std::string& sidecar : sidecars) {
        if (run.outputs.is_output(sidecar)) continue;  // shared with an output named before
        if (const auto problem = run.outputs.add_output(sidecar)) {
            report_output_problem(*problem);
            return closing(run, exit_status::error);
        }
        run.sidecars.push_back(sidecar);
    }
    return std::nullopt;
}

std::optional<int> write_outputs(Zonrik& run, const ZonalRun& zonal, const std::vector<long long>& record_numbers)
{
    if (const auto end = write_zones(run, zonal, record_numbers)) return end;
    if (const auto end = write_value_raster(run, zonal)) return end;
    if (cover(run))
        if (const auto end = write_cover_picture(run, zonal)) return end;
    if (const auto sidecar = write_sidecars(run.outputs, run.sidecars, run.georeference)) {
        std::printf("\nError: cannot write '%s': %s\n", sidecar->path.c_str(), sidecar->reason.c_str());
        run.console.wait_for_key();
        return closing(run, exit_status::error);
    }
    return std::nullopt;
}
