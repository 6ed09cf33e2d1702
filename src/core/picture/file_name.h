#pragma once

#include "core/paths.h"

#include <string>

namespace kivo {

// Where the file name begins in a full path.
inline std::size_t fileNameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of(kPathSeparators);
    return separator == std::string::npos ? 0 : separator + 1;
}

inline std::string fileNameOf(const std::string& path) {
    return path.substr(fileNameStart(path));
}

} // namespace kivo
