// The files a run writes, whole or not at all.
//
// A run names its inputs and all of its outputs before it writes anything;
// an output that is one of the inputs (the same file on disk, or the same
// path), that is named twice, or that is a folder, stops the run before a
// byte is written. Each output is then written under a temporary name beside
// its final place ("<name>.part-<process>-<n>"), and all of them are renamed
// into place together when the run has completed. A run that fails, throws
// or is interrupted leaves no temporary behind, and the files of the same
// names from an earlier run stay as they were.
#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

struct OutputProblem {
    enum class Kind {
        overwrites_input,  // `output` is the input `other`
        named_twice,       // `output` is also the output `other`
        is_folder,         // `output` is an existing folder
        cannot_create,     // the temporary beside `output` cannot be made (`error`)
        cannot_rename,     // the finished temporary cannot become `output` (`error`)
    };
    Kind kind;
    std::string output;
    std::string other;
    std::error_code error;

    // One line, without line ends, naming the paths and the reason.
    std::string message() const;
};

class OutputFiles {
public:
    OutputFiles() = default;
    ~OutputFiles();  // removes every temporary that was not put in place
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    void add_input(const std::string& path);

    // Adds an output and checks it against the inputs and the outputs named
    // so far.
    std::optional<OutputProblem> add_output(const std::string& path);

    // The temporary to write `output` into (created empty), made on the first
    // call for that output; an output not added yet is added first.
    struct Temporary {
        std::string path;
        std::optional<OutputProblem> problem;
    };
    Temporary temporary(const std::string& output);

    // A private working file of the run, never put in place: a new file
    // beside `name` that no other run uses, removed with the temporaries.
    Temporary scratch(const std::string& name);

    // Puts every written temporary in place, in the order they were made.
    std::optional<OutputProblem> commit();

    // Removes every temporary now.
    void discard();

    // Whether `output` has been given its temporary (it is being written).
    bool started(const std::string& output) const;

    // Whether `path` was added as an output.
    bool is_output(const std::string& path) const;

private:
    struct Entry {
        std::string output;  // final name; empty for a scratch file
        std::string temporary;
    };
    std::optional<std::string> make_temporary(const std::string& beside, std::optional<OutputProblem>& problem,
                                              const std::string& output);

    // file_key of every name added -> that name, and whether it is an input.
    struct Named {
        std::string name;
        bool input;
    };
    std::unordered_map<std::string, Named> named_;
    std::vector<Entry> entries_;
    unsigned counter_ = 0;
};
