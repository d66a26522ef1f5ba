// Options beyond a program's fixed argument forms: words of the form
// "--name" or "--name value", taken out of the command line before the
// arguments are counted, so that they may stand anywhere on it. "-h" is
// "--help". A word "--" ends the options: every word after it is an argument,
// even when it starts with "--". A folder word therefore cannot start with
// "--" unless it follows "--".
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

struct KnownOption {
    std::string name;        // without the dashes: "gis"
    std::string value_name;  // "N", "FORMAT"; empty for a switch
    std::string help;        // one line for --help
};

// The options every program takes.
const std::vector<KnownOption>& shared_options();

struct CommandLine {
    std::vector<std::string> arguments;  // the program's name, then the arguments in order
    std::map<std::string, std::string> options;  // name -> value ("" for a switch)

    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::optional<std::string> value(const std::string& name) const;

    // argc/argv of the arguments alone, for the argument forms; the pointers
    // stay valid as long as this command line.
    int argc() const { return static_cast<int>(arguments.size()); }
    std::vector<char*> argv();
};

struct OptionProblem {
    std::string message;  // one line without line ends, such as "unknown option '--gsi'"
};

// Splits argv into options (shared ones and `known`) and arguments. An
// unknown "--word", an option without its value, or one given twice is a
// problem.
struct ParsedCommandLine {
    CommandLine command_line;
    std::optional<OptionProblem> problem;
};
ParsedCommandLine parse_command_line(int argc, char** argv, const std::vector<KnownOption>& known);

// The lines that list `options` in a program's help, one per option.
std::string options_help(const std::vector<KnownOption>& options);
