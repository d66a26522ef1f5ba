#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace fuzzing {

namespace {

std::string& scratch_folder()
{
    static std::string folder;
    return folder;
}

void remove_scratch_folder()
{
    std::error_code ec;
    if (!scratch_folder().empty()) fs::remove_all(scratch_folder(), ec);
}

}  // namespace

std::string scratch_path(const std::string& name)
{
    return scratch_folder() + "/" + name;
}

std::string write_scratch(const std::string& name, std::string_view bytes)
{
    const std::string path = scratch_path(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    require(file != nullptr, "cannot write a scratch file");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

std::string write_scratch(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    return write_scratch(name, as_text(data, size));
}

void remove_scratch(const std::string& name)
{
    std::remove(scratch_path(name).c_str());
}

InScratchFolder::InScratchFolder()
{
    std::error_code ec;
    previous_ = fs::current_path(ec).string();
    require(!ec && chdir(scratch_folder().c_str()) == 0, "cannot enter the scratch folder");
}

InScratchFolder::~InScratchFolder()
{
    if (chdir(previous_.c_str()) != 0) std::abort();
}

std::vector<std::string_view> split_sections(std::string_view input, std::size_t count)
{
    std::vector<std::string_view> sections;
    while (sections.size() + 1 < count) {
        const std::size_t at = input.find(section_marker);
        if (at == std::string_view::npos) break;
        sections.push_back(input.substr(0, at));
        input.remove_prefix(at + section_marker.size());
    }
    sections.push_back(input);
    return sections;
}

Console& empty_console()
{
    static std::FILE* empty = std::fopen("/dev/null", "rb");
    static Console console(empty);
    // Each input starts at the beginning of a line, with nothing pending.
    console = Console(empty);
    return console;
}

void require(bool holds, const char* what)
{
    if (holds) return;
    std::fprintf(stderr, "\nfuzz invariant broken: %s\n", what);
    std::abort();
}

}  // namespace fuzzing

// libFuzzer calls this once per process, before the first input.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!std::freopen("/dev/null", "wb", stdout) || !std::freopen("/dev/null", "rb", stdin)) std::abort();
    // Memory-backed when the machine has it: every input is written as a file.
    std::error_code ec;
    const char* tmpdir = std::getenv("TMPDIR");
    const fs::path base = !tmpdir && fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string folder = (base / "suite-fuzz-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("scratch folder");
        std::abort();
    }
    fuzzing::scratch_folder() = folder;
    std::atexit(fuzzing::remove_scratch_folder);
    return 0;
}
