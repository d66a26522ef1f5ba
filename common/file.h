// An owned C stdio file, closed when it goes out of scope.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const
    {
        if (file) std::fclose(file);
    }
};

using File = std::unique_ptr<std::FILE, FileCloser>;

// Files are always opened in binary mode ("rb", "wb"), so that every text the
// suite writes has the same bytes on Linux and on Windows.
inline File open_file(const std::string& path, const char* mode)
{
    return File(std::fopen(path.c_str(), mode));
}

// Closes a file that was written and reports whether every write reached it.
inline bool close_written_file(File& file)
{
    std::FILE* raw = file.release();
    if (!raw) return false;
    const bool ok = std::ferror(raw) == 0;
    return std::fclose(raw) == 0 && ok;
}
