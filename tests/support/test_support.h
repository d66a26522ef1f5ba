// Helpers for end-to-end tests: a temporary folder per test, running a real
// program of the suite with given arguments and standard input, and reading or
// writing the bytes of files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<unsigned char>;

// A fresh folder, removed with everything in it at destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Full name of a file in the folder.
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

struct RunResult {
    int status = -1;  // exit status as the shell sees it (0..255)
    std::string out;  // standard output and standard error together
};

// Full name of a program of the suite in the build's binary folder.
std::string program_path(const std::string& name);

// Runs `program` (a name of the suite, such as "stelvar") in folder `cwd`
// with the arguments and the text as standard input.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd, const std::string& stdin_text = "");

Bytes read_bytes(const std::string& path);
std::string read_text(const std::string& path);
void write_bytes(const std::string& path, const Bytes& bytes);
void write_text(const std::string& path, const std::string& text);
bool file_exists(const std::string& path);
// Names of the files in a folder, sorted.
std::vector<std::string> list_files(const std::string& folder);

// What `action` prints on standard output.
std::string captured(const std::function<void()>& action);

// Little-endian fields of a byte buffer.
std::uint32_t le32(const Bytes& bytes, std::size_t offset);
std::uint16_t le16(const Bytes& bytes, std::size_t offset);
double le_double(const Bytes& bytes, std::size_t offset);
float le_float(const Bytes& bytes, std::size_t offset);
std::uint32_t be32(const Bytes& bytes, std::size_t offset);

}  // namespace testsupport
