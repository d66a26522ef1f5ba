// What differs between Linux and Windows: file sizes, folders, the
// environment and the console cursor.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

// Size in bytes of the named file, from the file system; none when it cannot
// be examined.
std::optional<std::uint64_t> file_size(const std::string& path);

// Size in bytes of an open file; none when it cannot be examined.
std::optional<std::uint64_t> file_size(std::FILE* file);

bool is_directory(const std::string& path);

// Moves an open file to a byte offset from its start, also beyond 2 GB on
// Windows, where `long` has 32 bits.
bool seek_to(std::FILE* file, std::uint64_t offset);

// Value of an environment variable; empty when it is not set.
std::string environment_variable(const char* name);

// Removes a file; failures are ignored.
void remove_file(const std::string& path);

// Creates `path` as a new empty file; fails when a file of that name exists
// already (or when it cannot be made). Returns the system's reason.
std::error_code create_new_file(const std::string& path);

// Renames `from` to `to`, replacing a file of that name.
std::error_code replace_file(const std::string& from, const std::string& to);

// A key that two names share exactly when they denote the same file: the
// file's identity on disk when it exists (device and file number, so that
// links and other spellings meet), else its absolute path with the links of
// its existing folders resolved (case-insensitive on Windows).
std::string file_key(const std::string& path);

// The process's identifier, for names no other run uses.
unsigned long process_id();

// The running program's file, its links resolved; empty when the system
// does not tell.
std::string executable_path();

// Loads a shared library (a DLL on Windows) for the rest of the process:
// it is never unloaded. Null, with the loader's reason in `reason`, when it
// cannot be loaded (missing, or a library it needs is missing).
void* load_library(const std::string& path, std::string& reason);

// The address of the function a loaded library exports under `name`; null
// when it has none.
void* library_function(void* library, const char* name);

// Files being written, removed when the process is interrupted (SIGINT,
// SIGTERM, SIGHUP; Ctrl-C and Ctrl-Break on Windows) before the signal ends
// it as it would have. install_interrupt_cleanup sets the handlers up once.
void install_interrupt_cleanup();
void remove_on_interrupt(const std::string& path);
void forget_on_interrupt(const std::string& path);

// Console cursor, used to redraw a progress line in place. Rows and columns
// count from 0; a row of -1 stands for the cursor's current row.
//
// On a Windows console they move and clear through the console interface.
// On a terminal elsewhere the line is redrawn with a carriage return and
// ANSI cursor and erase sequences. When standard output is a file or a pipe
// they write nothing, so the text printed between them follows on as it is.

// Moves the cursor to column x of row y (y = -1: the current row).
void gotoxy(short x, short y);

// Blanks the line from the cursor to its end; the cursor stays where it was.
void clreol();

// The cursor's current row; -1 when it cannot be known (a terminal other
// than a Windows console, or output that is no console).
short wherey();
