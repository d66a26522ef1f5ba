#include "sidecar_names.h"

#include "file.h"

#include <algorithm>
#include <cctype>

namespace {

// Start of the name's last component (after the last '/' or '\').
std::size_t last_component(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

std::size_t extension_dot(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < last_component(path)) return std::string::npos;
    return dot;
}

std::string cased(std::string text, int (*convert)(int))
{
    for (char& c : text) c = static_cast<char>(convert(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string name_extension(const std::string& path)
{
    const std::size_t dot = extension_dot(path);
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string with_extension(const std::string& path, const std::string& extension)
{
    const std::size_t dot = extension_dot(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + "." + extension;
}

std::optional<std::string> first_existing(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        if (open_file(path, "rb")) return path;
    return std::nullopt;
}

std::vector<std::string> sidecar_spellings(const std::string& path, const std::string& extension)
{
    std::vector<std::string> paths;
    for (const std::string& spelling : {extension, cased(extension, std::tolower), cased(extension, std::toupper)}) {
        std::string candidate = with_extension(path, spelling);
        if (std::find(paths.begin(), paths.end(), candidate) == paths.end()) paths.push_back(std::move(candidate));
    }
    return paths;
}
