#pragma once

#include <string>

// What each system itself says where the two differ; one source file per system.
namespace kivo::test {

// The system's reason for a file that is not there, as "Cannot open file" ends.
std::string missingFileReason();
// The code of a copy into a folder that is not there.
int missingFolderCopyError();
// The I/O error message for a write whose file, or whose temporary file, is a folder.
std::string folderInTheWayMessage();

} // namespace kivo::test
