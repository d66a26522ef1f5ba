// File names: the working folder join and the name derivations the programs
// share (an extension replaced or cut by its length).
#pragma once

#include <optional>
#include <string>

// "folder\name". On Windows the backslash is the separator. Elsewhere a
// backslash is part of a name, so the name is placed inside the folder with
// "/" when the folder is an existing directory, and joined literally with a
// backslash otherwise.
std::string join_folder(const std::string& folder, const std::string& name);

// The name as opened: joined with the folder when one was given.
std::string in_folder(bool check_path, const std::string& folder, const std::string& name);

// The name with its last `count` characters replaced by `replacement`
// (plan.bmp, 3, "bpw" gives plan.bpw); none when the name is shorter.
std::optional<std::string> replace_last_chars(const std::string& name, std::size_t count,
                                              const std::string& replacement);

// The name without its last `count` characters; empty when it is shorter.
std::string drop_last_chars(const std::string& name, std::size_t count);

// `prefix` put before the file name alone, the folders before it kept:
// "../d/pairs.txt" gives "../d/<prefix>pairs.txt". Folders end at "/" (on
// Windows also at a backslash and at a drive's ":").
std::string prefix_file_name(const std::string& path, const std::string& prefix);
