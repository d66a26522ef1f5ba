#include "platform.h"

#include <cstdlib>

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
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

bool seek_to(std::FILE* file, std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
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

#ifdef _WIN32

namespace {

// The console screen buffer behind standard output; false when standard
// output is no console (redirected to a file or a pipe).
bool console_info(HANDLE& console, CONSOLE_SCREEN_BUFFER_INFO& info)
{
    console = GetStdHandle(STD_OUTPUT_HANDLE);
    if (console == INVALID_HANDLE_VALUE || console == nullptr) return false;
    return GetConsoleScreenBufferInfo(console, &info) != 0;
}

}  // namespace

void gotoxy(short x, short y)
{
    std::fflush(stdout);  // what was printed lands before the cursor moves
    HANDLE console;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!console_info(console, info)) return;
    COORD position;
    position.X = x;
    position.Y = y == -1 ? info.dwCursorPosition.Y : y;
    SetConsoleCursorPosition(console, position);
}

void clreol()
{
    std::fflush(stdout);
    HANDLE console;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!console_info(console, info)) return;
    const DWORD blanks = static_cast<DWORD>(info.dwSize.X - info.dwCursorPosition.X);
    DWORD written = 0;
    FillConsoleOutputCharacterA(console, ' ', blanks, info.dwCursorPosition, &written);
}

short wherey()
{
    HANDLE console;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!console_info(console, info)) return -1;
    return info.dwCursorPosition.Y;
}

#else

namespace {

bool stdout_is_terminal()
{
    static const bool terminal = isatty(fileno(stdout)) != 0;
    return terminal;
}

}  // namespace

void gotoxy(short x, short y)
{
    if (!stdout_is_terminal()) return;
    if (y == -1) {
        std::fputs("\r", stdout);
        if (x > 0) std::printf("\033[%dC", x);
    } else {
        std::printf("\033[%d;%dH", y + 1, x + 1);
    }
}

void clreol()
{
    if (!stdout_is_terminal()) return;
    std::fputs("\033[K", stdout);
}

short wherey()
{
    return -1;
}

#endif
