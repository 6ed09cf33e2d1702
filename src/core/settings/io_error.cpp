#include "core/settings/io_error.h"

namespace kivo {

std::string ioErrorMessage(int code) {
    switch (code) {
    case kIoFileNotFound:
        return "File not found";
    case kIoInvalidFilename:
        return "Invalid filename";
    case kIoTooManyOpenFiles:
        return "Too many open files";
    case kIoAccessDenied:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case kIoDiskFull:
        return "Disk full";
    case 106:
        return "Invalid numeric input";
    default:
        return unlistedIoErrorMessage(code);
    }
}

std::string unlistedIoErrorMessage(int systemError) {
    return "I/O error " + std::to_string(systemError);
}

} // namespace kivo
