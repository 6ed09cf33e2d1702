#pragma once

#include "image.h"
#include "process.h"
#include "program_folder.h"
#include "virtual_display.h"
#include "x_client.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace kivo::e2e {

// Each test gets its own X server, program folder and kivo process; TearDown ends them all,
// whatever the test's outcome, and keeps the folder with a screenshot when the test failed.
class KivoTest : public ::testing::Test {
  protected:
    static constexpr std::chrono::milliseconds kAppearTimeout{10000};
    static constexpr const char* kTitle = "kivo";

    void TearDown() override;

    void startDisplay(bool withWindowManager = false);
    // Starts the display first when the test has not.
    void startKivo();

    XClient& x() { return *x_; }
    Process& kivo() { return *kivo_; }

    std::optional<WindowInfo> waitForMainWindow();
    // Once its start button is drawn the window takes input; a click before may be lost.
    std::optional<WindowInfo> waitForPaintedMainWindow();
    std::optional<WindowInfo> waitForErrorBox();
    // The program's questions and reports are titled by their kind: "Confirm", "Information".
    // Returns once the dialog has the keyboard focus.
    std::optional<WindowInfo> waitForDialog(const std::string& title);
    // Painting lags behind mapping: captures the area until the picture is ready (or the
    // timeout passes) and returns the last capture.
    Image waitForCapture(const Rect& area, const std::function<bool(const Image&)>& ready);

    ProgramFolder folder;

  private:
    std::vector<std::string> environment() const;

    std::unique_ptr<VirtualDisplay> display_;
    std::unique_ptr<XClient> x_;
    std::unique_ptr<Process> kivo_;
};

} // namespace kivo::e2e
