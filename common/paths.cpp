#include "paths.h"

#include "platform.h"

std::string join_folder(const std::string& folder, const std::string& name)
{
#ifdef _WIN32
    return folder + "\\" + name;
#else
    if (is_directory(folder)) return folder + "/" + name;
    return folder + "\\" + name;
#endif
}

std::string in_folder(bool check_path, const std::string& folder, const std::string& name)
{
    return check_path ? join_folder(folder, name) : name;
}

std::optional<std::string> replace_last_chars(const std::string& name, std::size_t count,
                                              const std::string& replacement)
{
    if (name.size() < count) return std::nullopt;
    return name.substr(0, name.size() - count) + replacement;
}

std::string drop_last_chars(const std::string& name, std::size_t count)
{
    if (name.size() < count) return std::string();
    return name.substr(0, name.size() - count);
}

std::string prefix_file_name(const std::string& path, const std::string& prefix)
{
#ifdef _WIN32
    const std::size_t last_separator = path.find_last_of("/\\:");
#else
    const std::size_t last_separator = path.find_last_of('/');
#endif
    const std::size_t name_start = last_separator == std::string::npos ? 0 : last_separator + 1;
    return path.substr(0, name_start) + prefix + path.substr(name_start);
}
