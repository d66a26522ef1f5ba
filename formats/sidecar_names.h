// Names of the files that travel beside a data file under the same stem
// with another extension (world files, ".prj"), as GIS tools derive them.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The extension of the name's last component: the characters after its last
// dot; empty when it has none.
std::string name_extension(const std::string& path);

// The path with its extension replaced by `extension` (given without the
// dot), or with "." and `extension` appended when it has none.
std::string with_extension(const std::string& path, const std::string& extension);

// The first of the paths that opens for reading; none when none does.
std::optional<std::string> first_existing(const std::vector<std::string>& paths);

// The sidecar's paths to try: the extension as given, then in lower and in
// upper case (each once).
std::vector<std::string> sidecar_spellings(const std::string& path, const std::string& extension);
