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

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd, const std::string& stdin_text)
{
    TempDir io;
    const std::string in_file = io.file("stdin.txt");
    const std::string out_file = io.file("stdout.txt");
    write_text(in_file, stdin_text);
    std::string command = "cd " + shell_quote(cwd) + " && " + shell_quote(program_path(program));
    for (const auto& arg : args) command += " " + shell_quote(arg);
    command += " < " + shell_quote(in_file) + " > " + shell_quote(out_file) + " 2>&1";
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    result.out = read_text(out_file);
    return result;
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
