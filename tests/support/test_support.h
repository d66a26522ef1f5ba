// Helpers for end-to-end tests: a temporary folder per test, running a real
// program of the suite with given arguments and standard input, and reading or
// writing the bytes of files.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
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

// Full name of a program of the suite in the build's binary folder; an
// absolute name is taken as it is (a copy of a program elsewhere).
std::string program_path(const std::string& name);

// Runs `program` (a name of the suite, such as "stelvar") in folder `cwd`
// with the arguments and the text as standard input.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd, const std::string& stdin_text = "");

// The same, with every file the program writes limited to `blocks` * 512
// bytes: a write beyond that fails (as on a full disk) instead of ending the
// program. Its console output is not limited.
RunResult run_program_with_file_limit(const std::string& program, const std::vector<std::string>& args,
                                      const std::string& cwd, long blocks, const std::string& stdin_text = "");

// The same, with `variables` ("NAME=value ...") added to its environment.
RunResult run_program_with_environment(const std::string& program, const std::vector<std::string>& args,
                                       const std::string& cwd, const std::string& variables);

// Every file of a folder (not its subfolders) with its bytes.
std::map<std::string, Bytes> folder_contents(const std::string& folder);

// Runs the program with a file size limit of 0, 1, 2, ... blocks until a
// run succeeds (at most `most_blocks`): every failed run must end with a
// non-zero status and leave the folder exactly as it was, and the run that
// succeeds must write what a run without limit writes. Returns the number of
// failed runs seen (0 when the first succeeded).
int expect_whole_outputs_or_none(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& cwd, const std::string& stdin_text = "", long most_blocks = 4096);

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
