// What every fuzz target shares: a private scratch folder per process (in
// /dev/shm unless TMPDIR names another place),
// inputs written there as files for the readers that take a path, inputs of
// several files cut into sections, and invariants that stop the run when
// broken.
//
// Before the first input the process sends standard output to /dev/null (the
// programs' console text would only slow the fuzzer) and reads standard input
// from an empty file, so that every wait for a key returns at once.
#pragma once

#include "console.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzing {

// Full name of `name` in the scratch folder.
std::string scratch_path(const std::string& name);

// Writes the bytes to `name` in the scratch folder; returns its full name.
std::string write_scratch(const std::string& name, std::string_view bytes);
std::string write_scratch(const std::string& name, const std::uint8_t* data, std::size_t size);

// Removes `name` from the scratch folder, if it is there.
void remove_scratch(const std::string& name);

// Makes the scratch folder the current one for its lifetime, for routines
// that write into the current folder. (libFuzzer resolves the corpus and
// artifact names given to it against the folder it was started in.)
class InScratchFolder {
public:
    InScratchFolder();
    ~InScratchFolder();
    InScratchFolder(const InScratchFolder&) = delete;
    InScratchFolder& operator=(const InScratchFolder&) = delete;

private:
    std::string previous_;
};

// The bytes as text.
inline std::string_view as_text(const std::uint8_t* data, std::size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Inputs made of several files hold them one after another, separated by
// this marker (also in the dictionaries).
constexpr std::string_view section_marker = "#@#";

// The sections of an input: at most `count`, the last one taking the rest
// (markers included). Fewer sections mean fewer files: a reader then finds
// the later ones missing.
std::vector<std::string_view> split_sections(std::string_view input, std::size_t count);

// A console on an empty file: every prompt meets the end of input and every
// wait returns at once.
Console& empty_console();

// Stops the run with a report on standard error when `holds` is false.
void require(bool holds, const char* what);

}  // namespace fuzzing
