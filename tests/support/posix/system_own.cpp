#include "system_own.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>

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

namespace {

constexpr rlim_t kAddressSpaceRoom = 512ull << 20;

// A "Vm...:" line of /proc/self/status, in KiB.
long statusKib(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field)) {
            return std::atol(line.c_str() + field.size());
        }
    }
    return -1;
}

} // namespace

// Runs the work in a child process whose address space may grow by 512 MiB at most, so that a
// big allocation fails there instead of passing unnoticed, and measures the child's peak memory
// above its start. The child sends that growth on a first line, then what the work said.
Outcome runCapped(const std::function<std::string()>& work) {
    int channel[2];
    if (pipe(channel) != 0) {
        return {.said = "pipe failed", .extraMemoryKib = {}};
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        // Above what is mapped already: the address sanitizer reserves terabytes up front.
        const rlim_t cap = static_cast<rlim_t>(statusKib("VmSize:")) * 1024 + kAddressSpaceRoom;
        const rlimit limit{cap, cap};
        setrlimit(RLIMIT_AS, &limit);
        const long before = statusKib("VmRSS:");
        std::string said;
        try {
            said = work();
        } catch (const std::exception& error) {
            said = std::string("escaped: ") + error.what();
        }
        said = std::to_string(statusKib("VmHWM:") - before) + "\n" + said;
        const ssize_t written = write(channel[1], said.data(), said.size());
        _exit(written == static_cast<ssize_t>(said.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string received;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(channel[0], buffer, sizeof buffer)) > 0) {
        received.append(buffer, static_cast<std::size_t>(count));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    Outcome outcome;
    outcome.took = std::chrono::steady_clock::now() - start;
    const std::size_t lineEnd = received.find('\n');
    if (lineEnd != std::string::npos) {
        outcome.extraMemoryKib = std::atol(received.c_str());
        outcome.said = received.substr(lineEnd + 1);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        outcome.said += " [child ended with status " + std::to_string(status) + "]";
    }
    return outcome;
}

} // namespace kivo::test
