#include "core/error.h"
#include "core/settings/io_error.h"
#include "core/system/files.h"
#include "core/system/temporary_name.h"
#include "core/system/utf16.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace kivo {

namespace {

// A write that stopped short without an error, which only a full disk does.
constexpr DWORD kShortWrite = ERROR_HANDLE_DISK_FULL;

[[noreturn]] void throwIoError(DWORD error, const std::string& file) {
    throw KivoError(ioErrorText(static_cast<int>(error), file));
}

// The system's own text for an error, in its own language, without the line break it ends in.
std::string systemMessage(DWORD error) {
    wchar_t text[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text, static_cast<DWORD>(std::size(text)), nullptr);
    std::wstring message(text, length);
    while (!message.empty() &&
           (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
        message.pop_back();
    }
    return message.empty() ? "System error " + std::to_string(error) : fromWide(message);
}

// Past MAX_PATH the system takes a full path only in its "\\?\" form, with backslashes.
std::wstring systemPath(const std::string& path) {
    std::wstring wide = toWide(path);
    const bool full = wide.size() > 2 && wide[1] == L':' && (wide[2] == L'\\' || wide[2] == L'/');
    if (wide.size() < MAX_PATH || !full) {
        return wide;
    }
    for (wchar_t& c : wide) {
        c = c == L'/' ? L'\\' : c;
    }
    return L"\\\\?\\" + wide;
}

HANDLE openExisting(const std::string& path) {
    return CreateFileW(systemPath(path).c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The file that a link leads to, so that replacing it keeps the link; the path itself when it
// names no file that opens.
std::wstring linkTarget(const std::string& path) {
    const std::wstring named = systemPath(path);
    HANDLE file =
        CreateFileW(named.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return named;
    }
    constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    std::wstring target(MAX_PATH, L'\0');
    // Too short a buffer gives the length it needs, with the terminating null.
    DWORD length = GetFinalPathNameByHandleW(file, target.data(), target.size(), kFlags);
    if (length >= target.size()) {
        target.resize(length);
        length = GetFinalPathNameByHandleW(file, target.data(), target.size(), kFlags);
    }
    CloseHandle(file);
    if (length == 0 || length >= target.size()) {
        return named;
    }
    target.resize(length);
    return target;
}

// 0 or the system's error code.
DWORD writeParts(HANDLE file, std::initializer_list<Bytes> parts) {
    for (const Bytes& part : parts) {
        const char* next = static_cast<const char*>(part.data);
        std::size_t left = part.size;
        while (left > 0) {
            const DWORD chunk = left < (1u << 30) ? static_cast<DWORD>(left) : 1u << 30;
            DWORD written = 0;
            if (!WriteFile(file, next, chunk, &written, nullptr)) {
                return GetLastError();
            }
            if (written == 0) {
                return kShortWrite;
            }
            next += written;
            left -= written;
        }
    }
    return 0;
}

} // namespace

char pathSeparator() {
    return '\\';
}

// Windows takes "/" as a separator as well.
bool isPathSeparator(char c) {
    return c == '\\' || c == '/';
}

std::filesystem::path filePath(const std::string& text) {
    return toWide(text);
}

std::string pathText(const std::filesystem::path& path) {
    return fromWide(path.wstring());
}

std::string systemTextFromUtf8(const std::string& text) {
    return fromWide(toWide(text), CP_ACP);
}

std::string utf8FromSystemText(const std::string& text) {
    return fromWide(toWide(text, CP_ACP));
}

namespace {

// Whether the ANSI code page writes the text without putting another letter in its place.
bool fitsCodePage(const std::string& text) {
    const std::wstring wide = toWide(text);
    if (GetACP() == CP_UTF8 || wide.empty()) {
        return true;
    }
    BOOL replaced = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        nullptr, 0, nullptr, &replaced);
    return !replaced;
}

std::wstring shortPathOf(const std::wstring& path) {
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    std::wstring shortPath(size, L'\0');
    const DWORD length = size == 0 ? 0 : GetShortPathNameW(path.c_str(), shortPath.data(), size);
    shortPath.resize(length < size ? length : 0);
    const std::wstring longPrefix = L"\\\\?\\";
    if (shortPath.starts_with(longPrefix)) {
        shortPath.erase(0, longPrefix.size());
    }
    return shortPath;
}

} // namespace

std::optional<std::string> codePagePath(const std::string& path) {
    if (fitsCodePage(path)) {
        return path;
    }
    const std::string shortPath = fromWide(shortPathOf(systemPath(path)));
    std::error_code error;
    if (shortPath.empty() || !fitsCodePage(shortPath) ||
        !std::filesystem::equivalent(filePath(path), filePath(shortPath), error)) {
        return std::nullopt;
    }
    return shortPath;
}

int lastSystemError() {
    return static_cast<int>(GetLastError());
}

int fileNotFoundError() {
    return ERROR_FILE_NOT_FOUND;
}

std::FILE* openForReading(const std::string& path) {
    HANDLE file = openExisting(path);
    if (file == INVALID_HANDLE_VALUE) {
        throwCannotOpen(path, lastSystemError());
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd == -1) {
        CloseHandle(file);
        throwCannotOpen(path, ERROR_TOO_MANY_OPEN_FILES);
    }
    std::FILE* stream = _fdopen(fd, "rb");
    if (stream == nullptr) {
        _close(fd);
        throwCannotOpen(path, ERROR_TOO_MANY_OPEN_FILES);
    }
    return stream;
}

void throwCannotOpen(const std::string& path, int systemError) {
    throw KivoError("Cannot open file \"" + path + "\". " +
                    systemMessage(static_cast<DWORD>(systemError)));
}

// The table is keyed by the system's own codes; a full disk has two of them.
std::string ioErrorText(int systemError, const std::string&) {
    switch (systemError) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ioErrorMessage(kIoDiskFull);
    default:
        return ioErrorMessage(systemError);
    }
}

std::string readWholeFile(const std::string& path) {
    HANDLE file = openExisting(path);
    if (file == INVALID_HANDLE_VALUE) {
        throwIoError(GetLastError(), path);
    }
    std::string bytes;
    char buffer[4096];
    DWORD count = 0;
    bool read = false;
    while ((read = ReadFile(file, buffer, sizeof buffer, &count, nullptr) != 0) && count > 0) {
        bytes.append(buffer, count);
    }
    const DWORD error = read ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (error != ERROR_SUCCESS) {
        throwIoError(error, path);
    }
    return bytes;
}

namespace {

// A new file of its own beside `target`, never an existing file or a link, written through
// to the disk.
HANDLE createTemporary(const std::wstring& target, std::wstring& temporary) {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        temporary = toWide(temporaryNameBeside(fromWide(target)));
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (file != INVALID_HANDLE_VALUE ||
            (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// On the disk before it takes a name that the user relies on: 0 or the system's error code.
DWORD flushAndClose(HANDLE file, DWORD error) {
    if (error == 0 && !FlushFileBuffers(file)) {
        error = GetLastError();
    }
    if (!CloseHandle(file) && error == 0) {
        error = GetLastError();
    }
    return error;
}

// 0 or the system's error code.
DWORD copyContents(HANDLE from, HANDLE to) {
    std::string buffer(65536, '\0');
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &count, nullptr)) {
            return GetLastError();
        }
        if (count == 0) {
            return 0;
        }
        if (const DWORD error = writeParts(to, {{buffer.data(), count}})) {
            return error;
        }
    }
}

} // namespace

void replaceFile(const std::string& path, std::initializer_list<Bytes> parts) {
    // A link stays a link: its target is the file that is replaced.
    const std::wstring target = linkTarget(path);
    // Refused before anything is written, as the system's own replace would refuse it.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throwIoError(ERROR_ACCESS_DENIED, path);
    }
    std::wstring temporary;
    HANDLE file = createTemporary(target, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        throwIoError(GetLastError(), path);
    }
    DWORD error = flushAndClose(file, writeParts(file, parts));
    if (error == 0 && !MoveFileExW(temporary.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != 0) {
        DeleteFileW(temporary.c_str());
        throwIoError(error, path);
    }
}

int copyNewFile(const std::string& from, const std::string& to) {
    HANDLE source = openExisting(from);
    if (source == INVALID_HANDLE_VALUE) {
        return lastSystemError();
    }
    const std::wstring target = systemPath(to);
    std::wstring temporary;
    HANDLE file = createTemporary(target, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        const int error = lastSystemError();
        CloseHandle(source);
        return error;
    }
    DWORD error = copyContents(source, file);
    CloseHandle(source);
    error = flushAndClose(file, error);
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the target is there; that is told
    // with the code the system's own copy gives for it.
    if (error == 0 && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError() == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : GetLastError();
    }
    if (error != 0) {
        DeleteFileW(temporary.c_str());
    }
    return static_cast<int>(error);
}

} // namespace kivo
