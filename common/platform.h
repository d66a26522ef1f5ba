// What differs between Linux and Windows: file sizes, folders, the
// environment and the console cursor.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

// Size in bytes of the named file, from the file system; none when it cannot
// be examined.
std::optional<std::uint64_t> file_size(const std::string& path);

// Size in bytes of an open file; none when it cannot be examined.
std::optional<std::uint64_t> file_size(std::FILE* file);

bool is_directory(const std::string& path);

// Value of an environment variable; empty when it is not set.
std::string environment_variable(const char* name);

// Removes a file; failures are ignored.
void remove_file(const std::string& path);
