#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

// What each system does its own way in the tests; one source file per system.
namespace kivo::test {

// The system's reason for a file that is not there, as "Cannot open file" ends.
std::string missingFileReason();
// The code of a copy into a folder that is not there.
int missingFolderCopyError();
// The I/O error message for a write whose file, or whose temporary file, is a folder.
std::string folderInTheWayMessage();

// What a piece of work said, how long it took and, where it can be told, how much memory it
// took beyond what the process already had.
struct Outcome {
    std::string said;
    std::chrono::duration<double> took{};
    std::optional<long> extraMemoryKib;
};

// Runs the work where the system allows with its address space capped, so that a big allocation
// fails there instead of passing unnoticed.
Outcome runCapped(const std::function<std::string()>& work);

} // namespace kivo::test
