// The run as a whole: options, inputs, zones and outputs, and the two ways
// a step ends it.
#include "zonrik_run.h"

#include "arguments.h"
#include "exit_status.h"
#include "function_choice.h"
#include "paths.h"
#include "platform.h"
#include "program_main.h"
#include "raw.h"
#include "zone_outputs.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr OutputKinds zonrik_outputs{true, true};

// --cover-max and --cover-min, each wholly a number when given.
std::optional<int> take_threshold_options(Zonrik& run, const CommandLine& line)
{
    for (const auto& [name, threshold] : {std::pair{"cover-max", &run.cover_max}, {"cover-min", &run.cover_min}}) {
        const std::optional<std::string> text = line.value(name);
        if (!text) continue;
        const std::optional<double> value = whole_number(*text);
        if (!value) {
            std::printf("\nError: %s\n", not_a_number(*text, std::string("--") + name).c_str());
            return exit_status::usage;
        }
        *threshold = static_cast<float>(*value);
    }
    return std::nullopt;
}

// A world file that is there must place the background.
std::optional<int> check_world_file(Zonrik& run)
{
    if (world_file_usable(run.rww)) return std::nullopt;
    const std::string name = world_file_path(run.check_path, run.path, run.input_back_ground, "rww").value_or("");
    std::printf("\nError: the world file '%s' does not hold six finite values with cell sizes other than 0\n",
                name.c_str());
    return closing(run, exit_status::error);
}

// The inputs are the files read and the files beside them that belong to
// them (a shapefile's index and table, a background's headers, world files
// and ".prj", the files GDAL read it from, when present). The outputs are all
// the files the function writes; none may be an input.
std::optional<int> declare_files(Zonrik& run)
{
    run.outputs.add_input(run.named(run.input_shp));
    run.outputs.add_input(run.named(run.input_back_ground));
    const std::pair<const std::string*, const char*> companions[] = {
        {&run.input_shp, "shx"},         {&run.input_shp, "dbf"},         {&run.input_back_ground, "dim"},
        {&run.input_back_ground, "hdr"}, {&run.input_back_ground, "rww"},
    };
    std::vector<std::string> present = {run.input_back_ground + ".hdr"};
    for (const auto& [name, extension] : companions)
        if (const std::optional<std::string> companion = replace_last_chars(*name, 3, extension))
            present.push_back(*companion);
    for (const std::string& companion : present)
        if (file_size(run.named(companion))) run.outputs.add_input(run.named(companion));

    for (const std::string& file : run.background_files) run.outputs.add_input(file);
    return declare_outputs(run);
}

}  // namespace

const ProgramInfo& zonrik_info()
{
    static const ProgramInfo info = {
        "zonrik",
        "measures a background raster inside every polygon of a polygon shapefile",
        "Usage:\n"
        "  zonrik <polygons.shp> <background> <output> <function> [working folder]\n"
        "  zonrik           (asks \"Shape file =\", \"File back_ground =\",\n"
        "                   \"File output (without extension)=\" and \"Function (...)=\")\n"
        "\n"
        "Functions: mean, variance, sqrt_variance, lmean, lvariance, c_cover, sp_temp\n"
        "(each also with a capital first letter or all in capitals). c_cover needs its\n"
        "two albedo thresholds: with arguments as --cover-max N --cover-min N; at the\n"
        "prompts they are asked for (\"Threshold albedo max (0 - 100)=\", \"Threshold\n"
        "albedo min (0 - 100)=\") unless given as options.\n"
        "\n"
        "The background is a single-band raster of 8-bit, 16-bit or 32-bit float\n"
        "samples with its extent in a \".dim\" file or, without one, in an ENVI\n"
        "header; without either, any raster GDAL reads (GeoTIFF, VRT ...; band 1,\n"
        "any numeric type, as floats). A world file (\"rww\") places the polygons on\n"
        "it; without one, the raster's own georeferencing or a standard world file\n"
        "(\".wld\") beside it. A pixel is in a polygon's zone when an odd number of\n"
        "its rings enclose it. Polygons whose box leaves the background are skipped,\n"
        "unless --partial is given. NaN pixels, and the pixels of a GDAL raster's\n"
        "nodata value, are left out of every statistic (c_cover included); a zone\n"
        "without any other pixel gets NaN.\n"
        "\n"
        "Writes <output>.shp, .shx and .dbf (the zones re-traced, field VALUE) in the\n"
        "current folder; <output>.raw and <output>.hdr (ENVI, 32-bit float) in the\n"
        "working folder when one is given; for c_cover <output>_cover.txt there and\n"
        "<output>.bmp in the current folder; for sp_temp <output>_temp.txt there.\n"
        "A placed background places the outputs: \"map info\" in the ENVI header, a\n"
        "standard world file (.wld) beside the raster and the picture, and the CRS\n"
        "as a .prj beside every output when it is known. The GIS layout (--gis,\n"
        "SUITE_GIS=1, or a background read through GDAL) writes ESRI ring order,\n"
        "the records' own extent in the headers and a field RECORD, the number of\n"
        "the input record each zone was measured for (1 for the first). --of GTiff\n"
        "writes the value raster as <output>.tif (NaN, its nodata, outside every\n"
        "zone) and the cover picture as <output>_cover.tif; --of GPKG writes the\n"
        "zones as one GeoPackage <output>.gpkg (fields VALUE and RECORD).\n"
        "Outputs appear only when the run completes; a run that fails leaves the\n"
        "folders as they were, and no output may overwrite an input or the files\n"
        "read with it (.shx, .dbf, .dim, .hdr, world files, .prj). The output name\n"
        "may hold no control character, \"{\" or \"}\" (it is written into the ENVI\n"
        "header).\n"
        "\n"
        "Exit status: 0 done; 255 an unknown function, an input that cannot be\n"
        "opened, a wrong .dim or background size, a raster GDAL opens but cannot\n"
        "read, sp_temp on 8 or 16 bits, or a report that cannot be written; 1 a\n"
        "shapefile that cannot be read, a world file or .prj that cannot place the\n"
        "background, an output name, format or threshold that cannot be used,\n"
        "missing cover thresholds, or an output that would overwrite an input or\n"
        "cannot be written; 2 standard input ended at a prompt.\n",
        [] {
            std::vector<KnownOption> options = {
                {"partial", "", "measure a polygon partly outside the background over its pixels inside it"},
                {"cover-max", "N", "c_cover: the upper albedo threshold (0 - 100)"},
                {"cover-min", "N", "c_cover: the lower albedo threshold (0 - 100)"},
            };
            for (const KnownOption& option : output_options(zonrik_outputs)) options.push_back(option);
            return options;
        }(),
        "\nError in memory allocation: the background is too large for the memory available\n",
        exit_status::failure,
    };
    return info;
}

std::error_code temporary_failure(const OutputProblem& problem)
{
    return problem.error ? problem.error : std::make_error_code(std::errc::file_exists);
}

std::optional<int> check_requests(Zonrik& run)
{
    const std::string description = zone_raster_base(run.named(run.raw_output + ".raw"));
    if (run.choices.format != OutputFormat::gtiff && !envi_description_usable(description)) {
        std::printf("\nError: the output name '%s' holds a control character, '{' or '}', which its ENVI header "
                    "cannot hold\n",
                    description.c_str());
        return closing(run, exit_status::error);
    }
    if (run.f_type == function_code::cover && run.check_line_com && !(run.cover_max && run.cover_min)) {
        std::printf("\nError: with arguments the function c_cover takes its albedo thresholds as options: "
                    "--cover-max N --cover-min N\n");
        return exit_status::usage;
    }
    return std::nullopt;
}

int closing(Zonrik& run, int status)
{
    if (!run.check_line_com) run.console.wait_for_key();
    return status;
}

int failure(Zonrik& run, const std::string& message)
{
    std::fputs(message.c_str(), stdout);
    run.console.wait_for_key();
    return exit_status::failure;
}

int run_zonrik(Zonrik& run, CommandLine& line)
{
    run.partial = line.has("partial");
    if (const auto status = take_threshold_options(run, line)) return *status;
    if (const auto problem = take_output_choices(line, zonrik_outputs, run.choices)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
    std::vector<char*> argv = line.argv();
    if (const auto status = take_inputs(run, line.argc(), argv.data())) return *status;
    if (const auto status = check_world_file(run)) return *status;
    if (const auto status = declare_files(run)) return *status;
    if (const auto status = measure_zones(run)) return *status;
    if (run.visit_zone) return exit_status::success;  // a tile's part writes nothing
    if (const auto problem = run.outputs.commit()) {
        report_output_problem(*problem);
        return closing(run, exit_status::error);
    }
    std::printf("\n\nEnd program\n");
    return closing(run, exit_status::success);
}
