#pragma once

#include "face.h"
#include "process.h"
#include "program_folder.h"
#include "virtual_display.h"
#include "x_client.h"

#include <chrono>
#include <memory>
#include <string>

namespace kivo::e2e {

// One face's program folder on a private Xvfb, and the program started from it. Whatever the
// face's system keeps running for the display ends before the display does.
class Session {
  public:
    Session(const Face& face, bool withWindowManager, const std::string& folderLabel,
            ScreenSize screen = {VirtualDisplay::kWidth, VirtualDisplay::kHeight});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Face& face() const { return folder_.face(); }
    ProgramFolder& folder() { return folder_; }
    XClient& x() { return *x_; }
    const std::string& displayName() const { return display_->name(); }

    // Launches the program (again, after it has ended).
    void startKivo();
    Process& kivo() { return *kivo_; }
    std::chrono::steady_clock::time_point startedAt() const { return startedAt_; }

  private:
    ProgramFolder folder_;
    std::unique_ptr<VirtualDisplay> display_;
    std::unique_ptr<XClient> x_;
    std::unique_ptr<Process> kivo_;
    std::chrono::steady_clock::time_point startedAt_;
};

} // namespace kivo::e2e
