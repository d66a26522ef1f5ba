// An owned C stdio file, closed when it goes out of scope, and a file being
// written that remembers why it failed.
#pragma once

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <system_error>

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

// The reason of the last failed call: errno, or an input/output error when
// the C library left none.
inline std::error_code last_system_error()
{
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// A new file written from the start (created, or emptied when it exists).
// The first failure is kept; finish() closes the file and, when anything
// failed, removes it and returns the reason.
class WrittenFile {
public:
    explicit WrittenFile(std::string path) : path_(std::move(path))
    {
        errno = 0;
        file_ = open_file(path_, "wb");
        if (!file_) error_ = last_system_error();
    }
    WrittenFile(const WrittenFile&) = delete;
    WrittenFile& operator=(const WrittenFile&) = delete;
    ~WrittenFile()
    {
        if (file_) finish();
    }

    bool good() const { return !error_; }
    std::FILE* get() const { return file_.get(); }

    void write(const void* data, std::size_t size)
    {
        if (error_ || size == 0) return;
        errno = 0;
        if (std::fwrite(data, 1, size, file_.get()) != size) error_ = last_system_error();
    }
    void write(const std::string& text) { write(text.data(), text.size()); }

    std::error_code finish()
    {
        if (file_) {
            std::FILE* raw = file_.release();
            errno = 0;
            if (std::fflush(raw) != 0 && !error_) error_ = last_system_error();
            if (std::ferror(raw) && !error_) error_ = last_system_error();
            errno = 0;
            if (std::fclose(raw) != 0 && !error_) error_ = last_system_error();
            if (error_) std::remove(path_.c_str());
        }
        return error_;
    }

private:
    std::string path_;
    File file_;
    std::error_code error_;
};
