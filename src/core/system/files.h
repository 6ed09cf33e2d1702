#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

// The system calls the core needs, with one source file per system.
namespace kivo {

// The separator the program writes, and whether the system takes a character as one.
char pathSeparator();
bool isPathSeparator(char c);

// The program's paths are UTF-8 text on every system; these turn them into the system's.
std::filesystem::path filePath(const std::string& text);
std::string pathText(const std::filesystem::path& path);

// The settings file keeps its text in the system's 8-bit code page.
std::string systemTextFromUtf8(const std::string& text);
std::string utf8FromSystemText(const std::string& text);

// The path in a form that the settings file's code page writes and reads back as the same file:
// as it is, or the short form the system gives for it; none when neither form can be written.
std::optional<std::string> codePagePath(const std::string& path);

// The error code the system left for the last call that failed.
int lastSystemError();
// The system's code for a file that is not there.
int fileNotFoundError();

// Opens a picture for reading, never waiting on a pipe or a device, or throws
// "Cannot open file "<path>". <the system's reason>".
std::FILE* openForReading(const std::string& path);
[[noreturn]] void throwCannotOpen(const std::string& path, int systemError);

// The I/O error table's message for a system error met on `file`.
std::string ioErrorText(int systemError, const std::string& file);

// The whole file, or throws the I/O error table's message.
std::string readWholeFile(const std::string& path);

struct Bytes {
    const void* data;
    std::size_t size;
};

// Writes the parts to a temporary file beside `path` and renames it into place, so a failure at
// any step keeps the old file. An old file the user may not write is refused; the new one keeps
// the old one's permissions. Failures throw the I/O error table's message.
void replaceFile(const std::string& path, std::initializer_list<Bytes> parts);

// Copies a file, failing when the target exists: 0, or the system's error code.
int copyNewFile(const std::string& from, const std::string& to);

} // namespace kivo
