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
