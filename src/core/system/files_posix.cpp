#include "core/error.h"
#include "core/settings/io_error.h"
#include "core/system/files.h"
#include "core/system/temporary_name.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo {

namespace {

bool folderExists(const std::string& file) {
    const std::filesystem::path folder = filePath(file).parent_path();
    std::error_code ignored;
    return folder.empty() || std::filesystem::is_directory(folder, ignored);
}

[[noreturn]] void throwIoError(int error, const std::string& file) {
    throw KivoError(ioErrorText(error, file));
}

// O_NONBLOCK keeps a FIFO without a writer from blocking the open; reads block as usual.
int openWithoutWaiting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    return fd;
}

// Root may write any file, but one without a single write bit is read-only to it as well, as a
// read-only file is to an administrator on Windows.
bool readOnly(const std::string& path, const struct stat& file) {
    if (::geteuid() == 0) {
        return (file.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    }
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

// 0 or errno's value. Only root may give the file back to another owner; anyone else who may
// write it becomes its owner.
int keepPermissions(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
        return errno;
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

// 0 or errno's value; a write that stops short without saying why met a full disk.
int writeParts(int fd, std::initializer_list<Bytes> parts) {
    for (const Bytes& part : parts) {
        const char* next = static_cast<const char*>(part.data);
        std::size_t left = part.size;
        while (left > 0) {
            const ssize_t written = ::write(fd, next, left);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written < 0) {
                return errno;
            }
            if (written == 0) {
                return ENOSPC;
            }
            next += written;
            left -= static_cast<std::size_t>(written);
        }
    }
    return 0;
}

} // namespace

char pathSeparator() {
    return '/';
}

// A backslash is an ordinary character of a Linux file name.
bool isPathSeparator(char c) {
    return c == '/';
}

// Linux paths are bytes, UTF-8 by convention; they pass through untouched.
std::filesystem::path filePath(const std::string& text) {
    return text;
}

std::string pathText(const std::filesystem::path& path) {
    return path.string();
}

std::string systemTextFromUtf8(const std::string& text) {
    return text;
}

std::string utf8FromSystemText(const std::string& text) {
    return text;
}

// Paths are bytes, and the settings file keeps them as they are.
std::optional<std::string> codePagePath(const std::string& path) {
    return path;
}

int lastSystemError() {
    return errno;
}

int fileNotFoundError() {
    return ENOENT;
}

std::FILE* openForReading(const std::string& path) {
    const int fd = openWithoutWaiting(path);
    if (fd < 0) {
        throwCannotOpen(path, errno);
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        throwCannotOpen(path, error);
    }
    return file;
}

void throwCannotOpen(const std::string& path, int systemError) {
    throw KivoError("Cannot open file \"" + path + "\". " + std::strerror(systemError));
}

// errno's values, mapped one by one; those the table does not know are shown as they are.
std::string ioErrorText(int systemError, const std::string& file) {
    switch (systemError) {
    case ENOENT:
        // The system says "not found" for a missing folder too; the user is told which.
        return ioErrorMessage(folderExists(file) ? kIoFileNotFound : kIoInvalidFilename);
    case ENOTDIR:
        return ioErrorMessage(kIoInvalidFilename);
    case EMFILE:
    case ENFILE:
        return ioErrorMessage(kIoTooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EROFS:
        return ioErrorMessage(kIoAccessDenied);
    case ENOSPC:
    case EDQUOT:
        return ioErrorMessage(kIoDiskFull);
    default:
        return unlistedIoErrorMessage(systemError);
    }
}

namespace {

// Hands the file's bytes to `take` chunk by chunk up to its end: 0, errno's value, or the first
// error `take` returns.
int readChunks(int fd, const std::function<int(const char*, std::size_t)>& take) {
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return count < 0 ? errno : 0;
        }
        if (const int error = take(buffer, static_cast<std::size_t>(count))) {
            return error;
        }
    }
}

} // namespace

std::string readWholeFile(const std::string& path) {
    const int fd = openWithoutWaiting(path);
    if (fd < 0) {
        throwIoError(errno, path);
    }
    std::string bytes;
    const int error = readChunks(fd, [&](const char* data, std::size_t size) {
        bytes.append(data, size);
        return 0;
    });
    ::close(fd);
    if (error != 0) {
        throwIoError(error, path);
    }
    return bytes;
}

namespace {

// The file a chain of symbolic links ends in, whether it exists or not; the path itself when
// it is no link, or when the chain loops.
std::string linkTarget(const std::string& path) {
    std::filesystem::path file = path;
    std::error_code error;
    for (int hop = 0; hop < 40 && std::filesystem::is_symlink(file, error); ++hop) {
        const std::filesystem::path next = std::filesystem::read_symlink(file, error);
        if (error) {
            return path;
        }
        file = next.is_absolute() ? next : file.parent_path() / next;
    }
    return std::filesystem::is_symlink(file, error) ? path : file.string();
}

} // namespace

namespace {

// A new file of its own beside `path`, never an existing file or a link: its descriptor, or -1
// with errno set.
int createTemporary(const std::string& path, std::string& temporary) {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        temporary = temporaryNameBeside(path);
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// On the disk before it takes a name that the user relies on: 0 or errno's value.
int flushAndClose(int fd, int error) {
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    // Closing may report a write the system had deferred.
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

// The folder's new entry on the disk too; a folder that cannot be flushed is no failure.
void flushFolderOf(const std::string& file) {
    const std::filesystem::path folder = filePath(file).parent_path();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Gives the temporary the target's name unless one is there: 0 or errno's value. A hard link
// is the system's exclusive rename; where the file system has none, a check comes first.
int renameIfAbsent(const std::string& temporary, const std::string& target) {
    if (::link(temporary.c_str(), target.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK) {
        return errno;
    }
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0) {
        return EEXIST;
    }
    return ::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
}

} // namespace

void replaceFile(const std::string& path, std::initializer_list<Bytes> parts) {
    // A link stays a link: its target is the file that is replaced.
    const std::string target = linkTarget(path);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (replacing && readOnly(target, old)) {
        throwIoError(EACCES, path);
    }
    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) {
        throwIoError(errno, path);
    }
    int error = writeParts(fd, parts);
    if (error == 0 && replacing) {
        error = keepPermissions(fd, old);
    }
    error = flushAndClose(fd, error);
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        throwIoError(error, path);
    }
    flushFolderOf(target);
}

int copyNewFile(const std::string& from, const std::string& to) {
    const int source = openWithoutWaiting(from);
    if (source < 0) {
        return errno;
    }
    std::string temporary;
    const int fd = createTemporary(to, temporary);
    if (fd < 0) {
        const int error = errno;
        ::close(source);
        return error;
    }
    int error = readChunks(source, [fd](const char* data, std::size_t size) {
        return writeParts(fd, {{data, size}});
    });
    // The copy keeps the picture's permissions, as a copy by the system does.
    struct stat picture {};
    if (error == 0 &&
        (::fstat(source, &picture) != 0 || ::fchmod(fd, picture.st_mode & 0777) != 0)) {
        error = errno;
    }
    ::close(source);
    error = flushAndClose(fd, error);
    if (error == 0) {
        error = renameIfAbsent(temporary, to);
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    flushFolderOf(to);
    return 0;
}

} // namespace kivo
