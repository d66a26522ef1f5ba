// What every program does before and around its run: the options taken out
// of the command line (--help and --version answered at once, a wrong option
// refused), files being written removed when the run is interrupted, and the
// run's own ends (guarded_main.h).
#pragma once

#include "exit_status.h"
#include "guarded_main.h"
#include "options.h"
#include "output_files.h"

#include <optional>
#include <string>
#include <vector>

struct ProgramInfo {
    std::string name;     // "polvane"
    std::string purpose;  // one line: what the program does
    std::string usage;    // argument forms, prompts, what is written where, exit statuses
    std::vector<KnownOption> options;  // the program's own options, beyond the shared ones
    std::string memory_message = "\nError in memory allocation\n";
    int memory_status = exit_status::failure;
};

// The text of --help.
std::string help_text(const ProgramInfo& info);

// "\nError: <the problem>\n": an output the run cannot have.
void report_output_problem(const OutputProblem& problem);

// The line that follows a writer's own message when a file could not be
// written: "cannot write '<path>': <the system's reason>\n".
void report_write_failure(const std::string& path, const std::error_code& error);
// The same line with the reason in words (a GDAL writer's text).
void report_write_failure(const std::string& path, const std::string& reason);

// A wrong option or option value: "<name>: <the problem>" and the pointer to
// --help on standard error; the result is exit_status::usage.
int refuse_option(const ProgramInfo& info, const std::string& problem);

// The part before the run: answers --help and --version, refuses a wrong
// option (status exit_status::usage) and installs the clean-up of files being
// written when the run is interrupted. None: go on with the run; else the
// exit status.
std::optional<int> answer_options(const ParsedCommandLine& parsed, const ProgramInfo& info);

// answer_options, then body(command_line) under guarded_main; its result is
// the exit status.
template <typename Body>
int program_main(int argc, char** argv, const ProgramInfo& info, Body body)
{
    ParsedCommandLine parsed = parse_command_line(argc, argv, info.options);
    if (const auto status = answer_options(parsed, info)) return *status;
    return guarded_main([&] { return body(parsed.command_line); }, info.memory_message.c_str(), info.memory_status);
}
