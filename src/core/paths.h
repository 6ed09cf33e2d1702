#pragma once

#include "core/system/files.h"

#include <string>

namespace kivo {

// ProgramDir + "image" + separator: the program's picture folder.
inline std::string pictureFolder(const std::string& programDir) {
    return programDir + "image" + pathSeparator();
}

inline std::string settingsFilePath(const std::string& programDir) {
    return programDir + "date" + pathSeparator() + "soxran.txt";
}

} // namespace kivo
