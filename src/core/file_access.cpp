#include "core/file_access.h"

#include "core/error.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kivo {

#ifdef _WIN32

namespace {

std::wstring wideFrom(const std::string& text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string narrowFrom(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

} // namespace

std::filesystem::path filePath(const std::string& text) {
    return wideFrom(text, CP_UTF8);
}

std::string pathText(const std::filesystem::path& path) {
    return narrowFrom(path.wstring(), CP_UTF8);
}

std::FILE* openFile(const std::string& path, const char* mode) {
    return _wfopen(wideFrom(path, CP_UTF8).c_str(), wideFrom(mode, CP_UTF8).c_str());
}

std::string systemTextFromUtf8(const std::string& text) {
    return narrowFrom(wideFrom(text, CP_UTF8), CP_ACP);
}

std::string utf8FromSystemText(const std::string& text) {
    return narrowFrom(wideFrom(text, CP_ACP), CP_UTF8);
}

#else

// Linux paths are bytes, UTF-8 by convention; they pass through untouched.
std::filesystem::path filePath(const std::string& text) {
    return text;
}

std::string pathText(const std::filesystem::path& path) {
    return path.string();
}

std::FILE* openFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::string systemTextFromUtf8(const std::string& text) {
    return text;
}

std::string utf8FromSystemText(const std::string& text) {
    return text;
}

#endif

void removeFileQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(filePath(path), ignored);
}

void throwCannotOpen(const std::string& path, int errnoValue) {
    throw KivoError("Cannot open file \"" + path + "\". " + std::strerror(errnoValue));
}

std::FILE* openForReading(const std::string& path) {
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) {
        throwCannotOpen(path, errno);
    }
    return file;
}

} // namespace kivo
