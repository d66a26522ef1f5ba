#include "output_files.h"

#include "platform.h"

#include <algorithm>

std::string OutputProblem::message() const
{
    switch (kind) {
    case Kind::overwrites_input:
        return "the output '" + output + "' would overwrite the input '" + other + "'; nothing was written";
    case Kind::named_twice:
        return "the output '" + output + "' is named twice ('" + other + "'); nothing was written";
    case Kind::is_folder:
        return "the output '" + output + "' is a folder; nothing was written";
    case Kind::cannot_create:
        return "cannot write '" + output + "': " + error.message();
    case Kind::cannot_rename:
        return "cannot put '" + output + "' in place: " + error.message();
    }
    return {};
}

OutputFiles::~OutputFiles()
{
    discard();
}

void OutputFiles::add_input(const std::string& path)
{
    named_.emplace(file_key(path), Named{path, true});
}

std::optional<OutputProblem> OutputFiles::add_output(const std::string& path)
{
    const std::string key = file_key(path);
    if (const auto found = named_.find(key); found != named_.end()) {
        const Named& other = found->second;
        return OutputProblem{other.input ? OutputProblem::Kind::overwrites_input : OutputProblem::Kind::named_twice,
                             path, other.name, {}};
    }
    if (is_directory(path)) return OutputProblem{OutputProblem::Kind::is_folder, path, {}, {}};
    named_.emplace(key, Named{path, false});
    return std::nullopt;
}

bool OutputFiles::is_output(const std::string& path) const
{
    const auto found = named_.find(file_key(path));
    return found != named_.end() && !found->second.input;
}

bool OutputFiles::started(const std::string& output) const
{
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.output == output; });
}

std::optional<std::string> OutputFiles::make_temporary(const std::string& beside,
                                                        std::optional<OutputProblem>& problem,
                                                        const std::string& output)
{
    // A name taken by another file (a run of the same process number long
    // ago, or anything else) is passed over.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path =
            beside + ".part-" + std::to_string(process_id()) + "-" + std::to_string(++counter_);
        remove_on_interrupt(path);
        const std::error_code error = create_new_file(path);
        if (!error) return path;
        forget_on_interrupt(path);
        if (error != std::errc::file_exists) {
            problem = OutputProblem{OutputProblem::Kind::cannot_create, output, {}, error};
            return std::nullopt;
        }
    }
    problem = OutputProblem{OutputProblem::Kind::cannot_create, output, {},
                            std::make_error_code(std::errc::file_exists)};
    return std::nullopt;
}

OutputFiles::Temporary OutputFiles::temporary(const std::string& output)
{
    for (const Entry& entry : entries_)
        if (entry.output == output) return {entry.temporary, std::nullopt};
    Temporary result;
    if (!is_output(output)) {
        result.problem = add_output(output);
        if (result.problem) return result;
    }
    if (const auto path = make_temporary(output, result.problem, output)) {
        entries_.push_back({output, *path});
        result.path = *path;
    }
    return result;
}

OutputFiles::Temporary OutputFiles::scratch(const std::string& name)
{
    Temporary result;
    if (const auto path = make_temporary(name, result.problem, name)) {
        entries_.push_back({std::string(), *path});
        result.path = *path;
    }
    return result;
}

std::optional<OutputProblem> OutputFiles::commit()
{
    std::optional<OutputProblem> problem;
    for (Entry& entry : entries_) {
        if (entry.output.empty() || problem) continue;
        if (const std::error_code error = replace_file(entry.temporary, entry.output)) {
            problem = OutputProblem{OutputProblem::Kind::cannot_rename, entry.output, {}, error};
            continue;
        }
        forget_on_interrupt(entry.temporary);
        entry.temporary.clear();
    }
    discard();
    return problem;
}

void OutputFiles::discard()
{
    for (const Entry& entry : entries_) {
        if (entry.temporary.empty()) continue;
        remove_file(entry.temporary);
        forget_on_interrupt(entry.temporary);
    }
    entries_.clear();
}
