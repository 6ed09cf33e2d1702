#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace kivo {

// The program's paths are UTF-8 text on every platform; these turn them into the system's.
std::filesystem::path filePath(const std::string& text);
std::string pathText(const std::filesystem::path& path);

// fopen for a UTF-8 path; nullptr with errno set on failure.
std::FILE* openFile(const std::string& path, const char* mode);

// Deletes a file if it is there; failures are ignored (for leftovers of a failed write).
void removeFileQuietly(const std::string& path);

// Opens a file for reading or throws KivoError "Cannot open file "<path>". <reason>".
std::FILE* openForReading(const std::string& path);
[[noreturn]] void throwCannotOpen(const std::string& path, int errnoValue);

// The settings file keeps its text in the system's 8-bit code page.
std::string systemTextFromUtf8(const std::string& text);
std::string utf8FromSystemText(const std::string& text);

} // namespace kivo
