#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <fcntl.h>
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
#include <process.h>
#else
#include <dlfcn.h>
#include <signal.h>
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

std::error_code create_new_file(const std::string& path)
{
#ifdef _WIN32
    const int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return std::error_code(errno, std::generic_category());
    _close(fd);
#else
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) return std::error_code(errno, std::generic_category());
    close(fd);
#endif
    return {};
}

std::error_code replace_file(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
#else
    if (std::rename(from.c_str(), to.c_str()) == 0) return {};
    return std::error_code(errno, std::generic_category());
#endif
}

std::string file_key(const std::string& path)
{
    namespace fs = std::filesystem;
#ifdef _WIN32
    // The canonical path of an existing file resolves its links; Windows
    // names are case-insensitive.
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::absolute(fs::path(path), error), error);
    if (error) resolved = fs::absolute(fs::path(path), error).lexically_normal();
    std::string text = resolved.string();
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    std::replace(text.begin(), text.end(), '/', '\\');
    return "path:" + text;
#else
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        return "file:" + std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::absolute(fs::path(path), error), error);
    if (error) resolved = fs::absolute(fs::path(path), error).lexically_normal();
    return "path:" + resolved.string();
#endif
}

unsigned long process_id()
{
#ifdef _WIN32
    return static_cast<unsigned long>(_getpid());
#else
    return static_cast<unsigned long>(getpid());
#endif
}

std::string executable_path()
{
#ifdef _WIN32
    std::vector<char> name(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) return std::string(name.data(), length);
        name.resize(name.size() * 2);
    }
#else
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
#endif
}

void* load_library(const std::string& path, std::string& reason)
{
#ifdef _WIN32
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) reason = std::system_category().message(static_cast<int>(GetLastError()));
    return reinterpret_cast<void*>(library);
#else
    // Every symbol bound now, so that a library that does not fit fails
    // here, with the loader's reason, rather than at a later call.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* error = dlerror();
        reason = error ? error : "unknown reason";
    }
    return library;
#endif
}

void* library_function(void* library, const char* name)
{
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
    return dlsym(library, name);
#endif
}

namespace {

// The files being written. This list is the one piece of state the whole
// process shares: a signal handler cannot be handed anything else. On POSIX
// it is changed only with the interrupt signals blocked, so the handler
// never sees it half changed.
std::vector<std::string>& files_to_remove()
{
    static std::vector<std::string> files;
    return files;
}

const int interrupt_signals[] = {
    SIGINT, SIGTERM,
#ifdef _WIN32
    SIGBREAK,
#else
    SIGHUP,
#endif
};

extern "C" void remove_files_and_end(int signal_number)
{
    for (const std::string& path : files_to_remove()) {
#ifdef _WIN32
        _unlink(path.c_str());
#else
        unlink(path.c_str());
#endif
    }
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// Keeps the interrupt signals away while the list changes.
class InterruptsHeld {
public:
    InterruptsHeld()
    {
#ifndef _WIN32
        sigset_t held;
        sigemptyset(&held);
        for (int s : interrupt_signals) sigaddset(&held, s);
        pthread_sigmask(SIG_BLOCK, &held, &previous_);
#endif
    }
    ~InterruptsHeld()
    {
#ifndef _WIN32
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
#endif
    }
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
#ifndef _WIN32
    sigset_t previous_;
#endif
};

}  // namespace

void install_interrupt_cleanup()
{
    for (int s : interrupt_signals) {
        // A signal the caller chose to ignore (nohup) stays ignored.
        const auto previous = std::signal(s, remove_files_and_end);
        if (previous == SIG_IGN) std::signal(s, SIG_IGN);
    }
}

void remove_on_interrupt(const std::string& path)
{
    InterruptsHeld held;
    files_to_remove().push_back(path);
}

void forget_on_interrupt(const std::string& path)
{
    InterruptsHeld held;
    auto& files = files_to_remove();
    const auto found = std::find(files.begin(), files.end(), path);
    if (found != files.end()) files.erase(found);
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
