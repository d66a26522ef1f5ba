#include "class_outputs.h"

#include "geo_output.h"
#include "program_main.h"
#include "shapefile_writer.h"

#if SUITE_HAVE_GDAL
#include "geopackage_writer.h"
#endif

#include <cstdio>

ClassColour class_colour(const ClassMapColours& colours, std::int32_t key)
{
    ClassColour colour;
    if (!colours.has_colour_table) {
        colour.palette_index = value_of_class_key(key);
        return colour;
    }
    for (int i = 0; i < 256; ++i)
        if (colours.packed[static_cast<std::size_t>(i)] == key) {
            colour.palette_index = i;
            break;
        }
    colour.has_rgb = true;
    colour.red = key >> 16;
    colour.green = (key >> 8) & 255;
    colour.blue = key & 255;
    return colour;
}

std::string class_colour_text(const ClassColour& colour)
{
    if (!colour.has_rgb) return " (value " + std::to_string(colour.palette_index) + ")";
    return " (palette index " + std::to_string(colour.palette_index) + ", RGB " + std::to_string(colour.red) + " " +
           std::to_string(colour.green) + " " + std::to_string(colour.blue) + ")";
}

std::vector<IntegerColumn> class_columns(int index, const ClassColour& colour, std::size_t count)
{
    auto column = [&](const char* name, int width, std::optional<long long> value) {
        return IntegerColumn{name, width, value ? std::vector<long long>(count, *value) : std::vector<long long>{}};
    };
    std::optional<long long> red, green, blue;
    if (colour.has_rgb) red = colour.red, green = colour.green, blue = colour.blue;
    return {column("CLASS_ID", 4, index), column("PALETTE", 4, colour.palette_index), column("RED", 3, red),
            column("GREEN", 3, green), column("BLUE", 3, blue)};
}

std::vector<std::string> class_field_names()
{
    return {"CLASS_ID", "PALETTE", "RED", "GREEN", "BLUE"};
}

std::vector<std::vector<double>> class_field_values(int index, const ClassColour& colour, std::size_t count)
{
    std::vector<std::vector<double>> columns(5);
    columns[0].assign(count, static_cast<double>(index));
    columns[1].assign(count, static_cast<double>(colour.palette_index));
    if (colour.has_rgb) {
        columns[2].assign(count, static_cast<double>(colour.red));
        columns[3].assign(count, static_cast<double>(colour.green));
        columns[4].assign(count, static_cast<double>(colour.blue));
    }
    return columns;
}

namespace {

std::string class_base(const PolvaneRun& run, int index)
{
    return run.nome_output_path + "_" + std::to_string(index);
}

std::string geopackage_name(const PolvaneRun& run)
{
    return run.nome_output_path + ".gpkg";
}

}  // namespace

#if SUITE_HAVE_GDAL
struct ClassOutputs::GeoPackage {
    GeoPackageWriter writer;
};
#else
struct ClassOutputs::GeoPackage {};
#endif

ClassOutputs::ClassOutputs(PolvaneRun& run) : run_(run) {}

ClassOutputs::~ClassOutputs() = default;

bool ClassOutputs::declare()
{
    auto refuse = [&](const OutputProblem& problem) {
        report_output_problem(problem);
        return false;
    };
    if (run_.choices.format == OutputFormat::gpkg) {
        if (run_.colori.empty()) return true;
        if (auto problem = run_.outputs.add_output(geopackage_name(run_))) return refuse(*problem);
        return true;
    }
    for (std::size_t i = 0; i < run_.colori.size(); ++i) {
        const std::string base = class_base(run_, static_cast<int>(i));
        if (auto problem = add_shapefile_outputs(run_.outputs, base)) return refuse(*problem);
        if (auto problem = add_sidecar_outputs(run_.outputs, shapefile_sidecars(base, run_.georeference)))
            return refuse(*problem);
    }
    return true;
}

bool ClassOutputs::write_class(int index, const RecordArrays& records)
{
    if (run_.choices.format != OutputFormat::gpkg) return write_shapefile(index, records);
#if SUITE_HAVE_GDAL
    GeoProblem problem;
    if (!geopackage_) {
        geopackage_ = std::make_unique<GeoPackage>();
        const OutputFiles::Temporary temporary = run_.outputs.temporary(geopackage_name(run_));
        if (temporary.problem) {
            report_output_problem(*temporary.problem);
            return false;
        }
        GeoPackageLayout layout;
        layout.layer_name = run_.nome_output;
        layout.shape_type = shape_type_polygon;
        for (const std::string& name : class_field_names()) layout.fields.push_back({name, FieldType::integer});
        layout.crs_wkt = run_.georeference.crs;
        layout.world = run_.tfw;
        layout.width = run_.width;
        layout.height = run_.height;
        problem = geopackage_->writer.create(temporary.path, layout);
    }
    if (!problem) {
        const ClassColour colour = class_colour(run_.colours, run_.colori[static_cast<std::size_t>(index)]);
        problem = geopackage_->writer.append(
            records, class_field_values(index, colour, records.record_layouts().size()));
    }
    if (problem) {
        std::printf("\nError: %s\n", problem.message().c_str());
        run_.console.wait_for_key();
        return false;
    }
    return true;
#else
    (void)index;
    (void)records;
    return false;
#endif
}

bool ClassOutputs::write_shapefile(int index, const RecordArrays& records)
{
    const std::string base = class_base(run_, index);
    ShapefileOptions options;
    options.world = run_.tfw;
    if (run_.gis) {
        options.rings = RingOrientation::esri;
        options.true_extent = true;
        const ClassColour colour = class_colour(run_.colours, run_.colori[static_cast<std::size_t>(index)]);
        options.columns = class_columns(index, colour, records.record_layouts().size());
    }
    ShapefilePaths files;
    auto problem = shapefile_temporaries(run_.outputs, base, files);
    if (!problem) problem = gen_file_shp(files, records, run_.width, run_.height, options);
    if (problem) {
        std::printf("\nError in creating '%s'\n", problem->extension);
        report_write_failure(base + problem->extension, problem->error);
        run_.console.wait_for_key();
        return false;
    }
    if (const auto sidecar = write_sidecars(run_.outputs, shapefile_sidecars(base, run_.georeference), run_.georeference)) {
        std::printf("\nError: cannot write '%s': %s\n", sidecar->path.c_str(), sidecar->reason.c_str());
        run_.console.wait_for_key();
        return false;
    }
    return true;
}

bool ClassOutputs::finish()
{
#if SUITE_HAVE_GDAL
    if (geopackage_) {
        if (const GeoProblem problem = geopackage_->writer.finish()) {
            std::printf("\nError: %s\n", problem.message().c_str());
            return false;
        }
    }
#endif
    return true;
}
