#pragma once

#include "core/paths.h"

#include <string>

namespace kivo {

// Where the file name begins in a full path.
inline std::size_t fileNameStart(const std::string& path) {
    std::size_t start = path.size();
    while (start > 0 && !isPathSeparator(path[start - 1])) {
        --start;
    }
    return start;
}

inline std::string fileNameOf(const std::string& path) {
    return path.substr(fileNameStart(path));
}

} // namespace kivo
