#include "program_main.h"

#include "platform.h"
#include "version.h"

#include <cstdio>

std::string help_text(const ProgramInfo& info)
{
    std::string text = info.name + ": " + info.purpose + "\n\n" + info.usage;
    if (!text.empty() && text.back() != '\n') text += '\n';
    text += "\nOptions (anywhere on the command line; \"--\" ends them):\n";
    text += options_help(shared_options());
    text += options_help(info.options);
#if !SUITE_HAVE_GDAL
    text += "\nThis build has no GDAL: it reads the suite's own BMP and RAW files only\n"
            "(no GeoTIFF or other GDAL raster) and refuses --of.\n";
#endif
    return text;
}

void report_output_problem(const OutputProblem& problem)
{
    std::printf("\nError: %s\n", problem.message().c_str());
}

void report_write_failure(const std::string& path, const std::error_code& error)
{
    report_write_failure(path, error.message());
}

void report_write_failure(const std::string& path, const std::string& reason)
{
    std::printf("cannot write '%s': %s\n", path.c_str(), reason.c_str());
}

int refuse_option(const ProgramInfo& info, const std::string& problem)
{
    std::fprintf(stderr, "%s: %s\nRun '%s --help' for the usage.\n", info.name.c_str(), problem.c_str(),
                 info.name.c_str());
    return exit_status::usage;
}

std::optional<int> answer_options(const ParsedCommandLine& parsed, const ProgramInfo& info)
{
    const CommandLine& line = parsed.command_line;
    if (line.has("help")) {
        std::fputs(help_text(info).c_str(), stdout);
        return exit_status::success;
    }
    if (line.has("version")) {
        std::printf("%s %s\n", info.name.c_str(), suite_version());
        return exit_status::success;
    }
    if (parsed.problem) return refuse_option(info, parsed.problem->message);
    install_interrupt_cleanup();
    return std::nullopt;
}
