#pragma once

#include "process.h"

#include <filesystem>
#include <memory>
#include <string>

namespace kivo::e2e {

struct ScreenSize {
    int width;
    int height;
};

// A private Xvfb on a free display number, optionally with openbox managing it.
class VirtualDisplay {
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

    // Logs go into logFolder; env is the environment for the window manager.
    VirtualDisplay(const std::filesystem::path& logFolder, bool withWindowManager,
                   const std::vector<std::string>& env, ScreenSize screen = {kWidth, kHeight});

    const std::string& name() const { return name_; } // ":N"

  private:
    std::string name_;
    // Members end in reverse: the window manager before its server.
    std::unique_ptr<Process> server_;
    std::unique_ptr<Process> windowManager_;
};

} // namespace kivo::e2e
