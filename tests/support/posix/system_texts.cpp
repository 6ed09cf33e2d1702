#include "system_texts.h"

namespace kivo::test {

std::string missingFileReason() {
    return "No such file or directory";
}

// ENOENT, for the folder as for a file.
int missingFolderCopyError() {
    return 2;
}

// EISDIR, which the table does not list.
std::string folderInTheWayMessage() {
    return "I/O error 21";
}

} // namespace kivo::test
