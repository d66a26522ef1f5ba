#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir()
{
    static std::mt19937_64 rng{std::random_device{}()};
    // A name already taken is tried again; a folder that cannot be made at
    // all (no temporary folder, no permission) fails after a few tries.
    std::error_code ec;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("suite-test-" + std::to_string(rng()));
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate.string();
            return;
        }
    }
    throw fs::filesystem_error("cannot create a temporary test folder", fs::temp_directory_path(), ec);
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string program_path(const std::string& name)
{
    if (!name.empty() && name[0] == '/') return name;
    return std::string(SUITE_BIN_DIR) + "/" + name;
}

namespace {

std::string shell_quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

}  // namespace

namespace {

// Runs the program with standard input from a file; its console output
// (standard output and error together) goes to a file, or, with a shell
// `prefix` before the program (a file size limit, environment variables),
// through a pipe, which a file size limit does not reach.
RunResult run_command(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                      const std::string& stdin_text, const std::string& prefix = "")
{
    TempDir io;
    const std::string in_file = io.file("stdin.txt");
    const std::string out_file = io.file("stdout.txt");
    const std::string status_file = io.file("status.txt");
    write_text(in_file, stdin_text);
    std::string run = shell_quote(program_path(program));
    for (const auto& arg : args) run += " " + shell_quote(arg);
    run += " < " + shell_quote(in_file);
    std::string command = "cd " + shell_quote(cwd) + " && ";
    if (prefix.empty())
        command += run + " > " + shell_quote(out_file) + " 2>&1";
    else
        command += "{ (" + prefix + run + " 2>&1); echo $? > " + shell_quote(status_file) + "; } | cat > " +
                   shell_quote(out_file);
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    if (!prefix.empty()) result.status = std::stoi(read_text(status_file));
    result.out = read_text(out_file);
    return result;
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd, const std::string& stdin_text)
{
    return run_command(program, args, cwd, stdin_text);
}

RunResult run_program_with_file_limit(const std::string& program, const std::vector<std::string>& args,
                                      const std::string& cwd, long blocks, const std::string& stdin_text)
{
    // An ignored SIGXFSZ stays ignored in the program: its writes beyond the
    // limit fail with EFBIG.
    return run_command(program, args, cwd, stdin_text,
                       "trap '' XFSZ && ulimit -f " + std::to_string(blocks) + " && exec ");
}

RunResult run_program_with_environment(const std::string& program, const std::vector<std::string>& args,
                                       const std::string& cwd, const std::string& variables)
{
    return run_command(program, args, cwd, "", variables + " ");
}

std::map<std::string, Bytes> folder_contents(const std::string& folder)
{
    std::map<std::string, Bytes> contents;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) contents[entry.path().filename().string()] = read_bytes(entry.path().string());
    return contents;
}

int expect_whole_outputs_or_none(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& cwd, const std::string& stdin_text, long most_blocks)
{
    const auto before = folder_contents(cwd);
    // What a run without limit writes, in a copy of the folder.
    TempDir copy;
    for (const auto& [name, bytes] : before) write_bytes(copy.file(name), bytes);
    const RunResult whole = run_program(program, args, copy.path(), stdin_text);
    EXPECT_EQ(whole.status, 0) << whole.out;
    const auto expected = folder_contents(copy.path());

    for (long blocks = 0; blocks <= most_blocks; ++blocks) {
        const RunResult r = run_program_with_file_limit(program, args, cwd, blocks, stdin_text);
        if (r.status == 0) {
            EXPECT_EQ(folder_contents(cwd), expected) << program << " ended with 0 but wrote other files with files "
                                                      << "limited to " << blocks << " blocks:\n" << r.out;
            return static_cast<int>(blocks);
        }
        EXPECT_EQ(folder_contents(cwd), before) << program << " with files limited to " << blocks << " blocks:\n"
                                                << r.out;
        if (folder_contents(cwd) != before) return static_cast<int>(blocks);
    }
    ADD_FAILURE() << program << " never completed within " << most_blocks << " blocks";
    return -1;
}

Bytes read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_bytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void write_text(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

bool file_exists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

std::vector<std::string> list_files(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::uint32_t le32(const Bytes& b, std::size_t o)
{
    return b.at(o) | (b.at(o + 1) << 8) | (b.at(o + 2) << 16) | (static_cast<std::uint32_t>(b.at(o + 3)) << 24);
}

std::uint16_t le16(const Bytes& b, std::size_t o)
{
    return static_cast<std::uint16_t>(b.at(o) | (b.at(o + 1) << 8));
}

double le_double(const Bytes& b, std::size_t o)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | b.at(o + i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float le_float(const Bytes& b, std::size_t o)
{
    const std::uint32_t bits = le32(b, o);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint32_t be32(const Bytes& b, std::size_t o)
{
    return (static_cast<std::uint32_t>(b.at(o)) << 24) | (b.at(o + 1) << 16) | (b.at(o + 2) << 8) | b.at(o + 3);
}

std::string captured(const std::function<void()>& action)
{
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

}  // namespace testsupport
