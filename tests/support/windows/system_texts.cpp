#include "system_texts.h"

namespace kivo::test {

// The tests' Wine prefix is a Russian system, as the program's users' are.
std::string missingFileReason() {
    return "Файл не найден.";
}

// ERROR_PATH_NOT_FOUND.
int missingFolderCopyError() {
    return 3;
}

// Windows opens no folder as a file, and replaces none: ERROR_ACCESS_DENIED.
std::string folderInTheWayMessage() {
    return "File access denied";
}

} // namespace kivo::test
