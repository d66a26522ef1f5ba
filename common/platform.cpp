#include "platform.h"

#include <cstdlib>

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

std::optional<std::uint64_t> file_size(const std::string& path)
{
#ifdef _WIN32
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0) return std::nullopt;
    if ((info.st_mode & _S_IFMT) != _S_IFREG) return std::nullopt;
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    if (!S_ISREG(info.st_mode)) return std::nullopt;
#endif
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::uint64_t> file_size(std::FILE* file)
{
    if (!file) return std::nullopt;
#ifdef _WIN32
    struct _stat64 info;
    if (_fstat64(_fileno(file), &info) != 0) return std::nullopt;
#else
    struct stat info;
    if (fstat(fileno(file), &info) != 0) return std::nullopt;
#endif
    return static_cast<std::uint64_t>(info.st_size);
}

bool is_directory(const std::string& path)
{
#ifdef _WIN32
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0) return false;
    return (info.st_mode & _S_IFMT) == _S_IFDIR;
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode);
#endif
}

std::string environment_variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

void remove_file(const std::string& path)
{
    std::remove(path.c_str());
}
