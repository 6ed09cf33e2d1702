#pragma once

#include "process.h"
#include "program_folder.h"
#include "virtual_display.h"

#include <X11/Xlib.h>
#include <chrono>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kivo::bench {

// CPU time (user + system) a process has used so far, in seconds.
double cpuSeconds(pid_t pid);
// Peak resident memory of a process, in KiB.
long peakResidentKiB(pid_t pid);
// Context switches of all the process's threads so far: each is a wake-up or a preemption.
long contextSwitches(pid_t pid);
// The Xvfb started by this process.
pid_t virtualServerPid();

// The real program on a private Xvfb, with a settings file of the bench's choosing.
class BenchSession {
  public:
    // Lines of date/soxran.txt; empty for none.
    explicit BenchSession(const std::vector<std::string>& settings = {});
    ~BenchSession();

    e2e::ProgramFolder& folder() { return folder_; }
    Display* display() { return display_; }
    pid_t kivoPid() const { return kivo_->pid(); }
    std::chrono::steady_clock::time_point startedAt() const { return startedAt_; }

    // Waits for the main window to be mapped; returns its id (0 on timeout).
    Window waitForMainWindow(std::chrono::milliseconds timeout);
    void click(int x, int y);

    void launch();

  private:
    e2e::ProgramFolder folder_;
    std::unique_ptr<e2e::VirtualDisplay> virtualDisplay_;
    std::unique_ptr<e2e::Process> kivo_;
    Display* display_ = nullptr;
    std::chrono::steady_clock::time_point startedAt_;
};

} // namespace kivo::bench
