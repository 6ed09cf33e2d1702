#pragma once

#include <string>

namespace kivo {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// ProgramDir + "image" + separator: the program's picture folder.
inline std::string pictureFolder(const std::string& programDir) {
    return programDir + "image" + kPathSeparator;
}

inline std::string settingsFilePath(const std::string& programDir) {
    return programDir + "date" + kPathSeparator + "soxran.txt";
}

} // namespace kivo
