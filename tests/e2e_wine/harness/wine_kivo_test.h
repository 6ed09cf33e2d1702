#pragma once

#include "image.h"
#include "wine_folder.h"
#include "wine_session.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace kivo::e2e {

// Each test gets its own X server with openbox, program folder, Wine prefix and kivo.exe;
// TearDown ends them all, whatever the outcome, and keeps the folder with a screenshot when the
// test failed.
class WineKivoTest : public ::testing::Test {
  protected:
    // Generous: a Wine server and its helpers start with the first program.
    static constexpr std::chrono::milliseconds kAppearTimeout{20000};
    static constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kRunValueName = "kivo.narod.ru";

    void SetUp() override;
    void TearDown() override;

    void startKivo() { session_->startKivo(); }
    XClient& x() { return session_->x(); }
    Process& kivo() { return session_->kivo(); }
    WineSession& session() { return *session_; }

    std::optional<WindowInfo> waitForMainWindow();
    // Once its start button is drawn the window takes input; a click before may be lost.
    std::optional<WindowInfo> waitForPaintedMainWindow();
    // Returns once the dialog has the keyboard focus.
    std::optional<WindowInfo> waitForDialog(const std::string& title);
    // Captures the area until the picture is ready (or the timeout passes); the last capture.
    Image waitForCapture(const Rect& area, const std::function<bool(const Image&)>& ready);

    std::optional<std::string> runValue() {
        return session_->userRegistryValue(kRunKey, kRunValueName);
    }

    WineFolder folder;

  private:
    std::unique_ptr<WineSession> session_;
};

} // namespace kivo::e2e
