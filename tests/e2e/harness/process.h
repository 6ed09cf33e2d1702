#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kivo::e2e {

struct ProcessOptions {
    std::vector<std::string> argv;
    std::vector<std::string> env; // the whole environment, "NAME=value"
    std::string logPath;          // stdout and stderr go here
    int inheritedFd = -1;         // a descriptor the child keeps open
};

// Of any process of the machine: the peak resident memory, from /proc (-1 for none), and
// the CPU time used so far, from its CPU clock, which counts nanoseconds where /proc counts
// 10 ms ticks.
long peakResidentKiB(pid_t pid);
double cpuSeconds(pid_t pid);

// A child process in its own process group. It dies with the test (parent-death signal) and
// is ended in the destructor, so nothing outlives a failed assertion.
class Process {
  public:
    explicit Process(const ProcessOptions& options);
    ~Process() { stop(); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    bool running() { return !reap(false); }
    // The exit status (or 128 + signal) once the process has ended within the timeout.
    std::optional<int> waitExit(std::chrono::milliseconds timeout);
    // The peak resident memory while running, from /proc; -1 once the process has ended.
    long peakResidentKiB() const { return e2e::peakResidentKiB(pid_); }
    // The CPU time (user + system, every thread) used so far, in seconds.
    double cpuSeconds() const { return e2e::cpuSeconds(pid_); }
    // SIGTERM to the group, then SIGKILL when it does not end in time.
    void stop();

  private:
    bool reap(bool block);

    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

// The current environment without the named variables, plus the given ones.
std::vector<std::string> environmentWith(const std::vector<std::string>& drop,
                                         const std::vector<std::string>& add);

} // namespace kivo::e2e
