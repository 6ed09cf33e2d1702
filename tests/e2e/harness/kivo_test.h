#pragma once

#include "image.h"
#include "session.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace kivo::e2e {

// Each scenario gets its own X server with openbox, program folder and program, on the face
// that the test program was started for. TearDown ends them all, whatever the outcome, and
// keeps the folder with a screenshot when the test failed.
class KivoTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const Face& face() const { return currentFace(); }
    ProgramFolder& folder() { return session_->folder(); }
    XClient& x() { return session_->x(); }
    Process& kivo() { return session_->kivo(); }
    void startKivo(const std::vector<std::string>& extraEnvironment = {}) {
        session_->startKivo(extraEnvironment);
    }
    std::chrono::milliseconds timeout() const { return face().appearTimeout(); }
    std::optional<std::string> autostartCommand() { return session_->autostartCommand(); }
    void setHidden(Hiding how, bool hidden) { session_->setHidden(how, hidden); }
    void setDisplayDpi(int dpi) {
        session_->setDisplayDpi(dpi);
        scale_ = dpi / 96.0;
    }

    // Starts the program and waits until its main window, painted, takes input.
    void openWindow();
    // Drags the picture by the travel from a point clear of the controls; the window follows.
    void dragBy(int dx, int dy);
    // Double-clicks that point of the picture.
    void doubleClickPicture();
    // Right-clicks that point and answers the stay-on-top question with OK.
    void acceptStayOnTop();

    std::optional<WindowInfo> waitForMainWindow();
    // Once its start button is drawn the window takes input; a click before may be lost.
    std::optional<WindowInfo> waitForPaintedMainWindow();
    // Both return once the box has the keyboard focus. The program's questions and reports are
    // titled by their kind ("Confirm", "Information"), its error boxes by its own title.
    std::optional<WindowInfo> waitForErrorBox();
    std::optional<WindowInfo> waitForDialog(const std::string& title);
    // The message of the box that has the focus, with CR dropped; empty when none is told.
    std::string focusedBoxMessage();
    // Painting lags behind mapping: captures the area until the picture is ready (or the
    // timeout passes) and returns the last capture.
    Image waitForCapture(const Rect& area, const std::function<bool(const Image&)>& ready);

    // The main window that openWindow found, where the drags have taken it.
    WindowInfo window;

  protected:
    // A window manager keeps program-placed windows on the screen by rules of its own.
    virtual bool withWindowManager() const { return true; }
    // Put into the program folder's name.
    virtual std::string folderLabel() const { return ""; }

  private:
    std::optional<WindowInfo> withFocus(const std::optional<WindowInfo>& dialog);

    std::unique_ptr<Session> session_;
    double scale_ = 1; // the display's
};

} // namespace kivo::e2e
