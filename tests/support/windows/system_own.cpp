#include "system_own.h"

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

// No fork and no address-space limit: the work runs in the process and only its time is told.
Outcome runCapped(const std::function<std::string()>& work) {
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome;
    outcome.said = work();
    outcome.took = std::chrono::steady_clock::now() - start;
    return outcome;
}

} // namespace kivo::test
