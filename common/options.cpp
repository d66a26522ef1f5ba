#include "options.h"

#include <algorithm>

const std::vector<KnownOption>& shared_options()
{
    static const std::vector<KnownOption> options = {
        {"help", "", "show this text and end (also -h)"},
        {"version", "", "show the program's name and the suite's version and end"},
    };
    return options;
}

std::optional<std::string> CommandLine::value(const std::string& name) const
{
    const auto found = options.find(name);
    if (found == options.end()) return std::nullopt;
    return found->second;
}

std::vector<char*> CommandLine::argv()
{
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return pointers;
}

namespace {

const KnownOption* find_option(const std::string& name, const std::vector<KnownOption>& known)
{
    for (const auto* list : {&shared_options(), &known}) {
        const auto found =
            std::find_if(list->begin(), list->end(), [&](const KnownOption& option) { return option.name == name; });
        if (found != list->end()) return &*found;
    }
    return nullptr;
}

}  // namespace

ParsedCommandLine parse_command_line(int argc, char** argv, const std::vector<KnownOption>& known)
{
    ParsedCommandLine parsed;
    CommandLine& line = parsed.command_line;
    if (argc > 0) line.arguments.push_back(argv[0]);
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (options_ended || word.size() < 2 || word.compare(0, 2, "--") != 0) {
            if (!options_ended && word == "-h") {
                line.options["help"] = "";
                continue;
            }
            line.arguments.push_back(word);
            continue;
        }
        if (word == "--") {
            options_ended = true;
            continue;
        }
        // "--name=value" is the same as "--name value".
        std::string name = word.substr(2);
        std::optional<std::string> value;
        if (const auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.erase(equals);
        }
        const KnownOption* option = find_option(name, known);
        if (!option) {
            if (!parsed.problem) parsed.problem = OptionProblem{"unknown option '" + word + "'"};
            continue;
        }
        if (option->value_name.empty()) {
            if (value && !parsed.problem)
                parsed.problem = OptionProblem{"the option '--" + name + "' takes no value"};
            line.options[name] = "";
            continue;
        }
        if (!value) {
            if (i + 1 >= argc) {
                if (!parsed.problem)
                    parsed.problem = OptionProblem{"the option '--" + name + "' needs a value (" + option->value_name + ")"};
                continue;
            }
            value = argv[++i];
        }
        if (line.options.count(name) && !parsed.problem)
            parsed.problem = OptionProblem{"the option '--" + name + "' is given twice"};
        line.options[name] = *value;
    }
    return parsed;
}

std::string options_help(const std::vector<KnownOption>& options)
{
    std::string text;
    for (const KnownOption& option : options) {
        std::string left = "  --" + option.name;
        if (!option.value_name.empty()) left += " " + option.value_name;
        if (left.size() < 22) left.resize(22, ' ');
        else left += "  ";
        text += left + option.help + "\n";
    }
    return text;
}
