#pragma once

#include "session.h"

#include <X11/Xlib.h>
#include <chrono>
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

// The Linux program on a private Xvfb without a window manager, started as the end-to-end
// scenarios start it, with a settings file of the bench's choosing and a raw Xlib connection
// that sees every event the bench asks for.
class BenchSession {
  public:
    // Lines of date/soxran.txt; empty for none.
    explicit BenchSession(const std::vector<std::string>& settings = {});
    ~BenchSession();

    e2e::ProgramFolder& folder() { return session_.folder(); }
    Display* display() { return display_; }
    pid_t kivoPid() { return session_.kivo().pid(); }
    std::chrono::steady_clock::time_point startedAt() const { return session_.startedAt(); }

    // Waits for the main window to be mapped; returns its id (0 on timeout).
    Window waitForMainWindow(std::chrono::milliseconds timeout);
    void click(int x, int y);

    void launch() { session_.startKivo(); }

  private:
    e2e::Session session_;
    Display* display_ = nullptr;
};

} // namespace kivo::bench
