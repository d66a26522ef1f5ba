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
#include "shapefile_writer.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {

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
// them (a shapefile's index and table, a background's headers and world
// file, when present). The outputs are all the files the function writes;
// none may be an input.
std::optional<int> declare_files(Zonrik& run)
{
    run.outputs.add_input(run.named(run.input_shp));
    run.outputs.add_input(run.named(run.input_back_ground));
    const std::pair<const std::string*, const char*> companions[] = {
        {&run.input_shp, "shx"},         {&run.input_shp, "dbf"},         {&run.input_back_ground, "dim"},
        {&run.input_back_ground, "hdr"}, {&run.input_back_ground, "rww"},
    };
    for (const auto& [name, extension] : companions)
        if (const std::optional<std::string> companion = replace_last_chars(*name, 3, extension))
            if (file_size(run.named(*companion))) run.outputs.add_input(run.named(*companion));

    const std::string raw_name = run.named(run.raw_output + ".raw");
    const ShapefilePaths shapefile = shapefile_paths(run.nome_output_path);
    std::vector<std::string> outputs = {shapefile.shp, shapefile.shx, shapefile.dbf, raw_name,
                                        envi_header_name(raw_name)};
    if (run.f_type == function_code::cover) {
        run.report_name = run.named(run.raw_output + "_cover.txt");
        outputs.push_back(run.raw_output + ".bmp");
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
    return std::nullopt;
}

}  // namespace

std::optional<int> check_requests(Zonrik& run)
{
    const std::string description = zone_raster_base(run.named(run.raw_output + ".raw"));
    if (!envi_description_usable(description)) {
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
    if (const auto status = take_threshold_options(run, line)) return *status;
    std::vector<char*> argv = line.argv();
    if (const auto status = take_inputs(run, line.argc(), argv.data())) return *status;
    if (const auto status = check_world_file(run)) return *status;
    if (const auto status = declare_files(run)) return *status;
    if (const auto status = measure_zones(run)) return *status;
    if (const auto problem = run.outputs.commit()) {
        report_output_problem(*problem);
        return closing(run, exit_status::error);
    }
    std::printf("\n\nEnd program\n");
    return closing(run, exit_status::success);
}
