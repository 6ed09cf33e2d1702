#include "core/settings/io_error.h"
#include "core/file_access.h"

#include "core/settings/settings_file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace kivo {

namespace {

bool folderExists(const std::string& file) {
    const std::filesystem::path folder = filePath(file).parent_path();
    std::error_code ignored;
    return folder.empty() || std::filesystem::is_directory(folder, ignored);
}

} // namespace

int ioErrorCode(int errnoValue, const std::string& file) {
    switch (errnoValue) {
    case ENOENT:
        // The system says "not found" for a missing folder too; the user is told which.
        return folderExists(file) ? 2 : 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
        return 5;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return 101;
    default:
        return errnoValue;
    }
}

std::string ioErrorMessage(int code) {
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case 106:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

} // namespace kivo
