#pragma once

#include <string>

namespace kivo {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// Windows takes "/" as a separator as well; on Linux "\\" is an ordinary character.
inline constexpr const char* kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr const char* kPathSeparators = "/";
#endif

inline bool isPathSeparator(char c) {
    for (const char* s = kPathSeparators; *s != '\0'; ++s) {
        if (*s == c) {
            return true;
        }
    }
    return false;
}

// ProgramDir + "image" + separator: the program's picture folder.
inline std::string pictureFolder(const std::string& programDir) {
    return programDir + "image" + kPathSeparator;
}

inline std::string settingsFilePath(const std::string& programDir) {
    return programDir + "date" + kPathSeparator + "soxran.txt";
}

} // namespace kivo
