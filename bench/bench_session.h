#pragma once

#include "image.h"
#include "session.h"

#include <X11/Xlib.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kivo::bench {

using e2e::cpuSeconds;
using e2e::peakResidentKiB;
// Context switches of all the process's threads so far: each is a wake-up or a preemption.
long contextSwitches(pid_t pid);
// The Xvfb started by this process.
pid_t virtualServerPid();

// The breathing's picture: a gradient, so that the painting has work to do.
e2e::Image gradient(int width, int height);
// Settings that open the picture at 0, 0 in its own size with the outline vid.
std::vector<std::string> breathingSettings(const std::filesystem::path& picture, int width,
                                           int height, int vid);
// Waits for a window with this name and of at least 100 pixels' width to be mapped; the
// display must select SubstructureNotify on its root. Returns 0 on timeout.
Window waitForWindowNamed(Display* display, const std::string& name,
                          std::chrono::milliseconds timeout);

// The Linux program on a private Xvfb without a window manager, started as the end-to-end
// scenarios start it, with a settings file of the bench's choosing and a raw Xlib connection
// that sees every event the bench asks for.
class BenchSession {
  public:
    // Lines of date/soxran.txt; empty for none.
    explicit BenchSession(const std::vector<std::string>& settings = {},
                          e2e::ScreenSize screen = {e2e::VirtualDisplay::kWidth,
                                                    e2e::VirtualDisplay::kHeight});
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
