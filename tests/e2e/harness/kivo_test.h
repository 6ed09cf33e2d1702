#pragma once

#include "controls.h"
#include "image.h"
#include "session.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kivo::e2e {

// The buttons of the question that closing asks when something changed.
enum class Answer { No, Ok };

// Each scenario gets its own X server with openbox, program folder and program, on the face
// that the test program was started for. TearDown ends them all, whatever the outcome, and
// keeps the folder with a screenshot when the test failed.
class KivoTest : public ::testing::Test {
  public:
    void SetUp() override {
        session_ = std::make_unique<Session>(face(), withWindowManager(), folderLabel());
    }
    void TearDown() override;

    const Face& face() const { return currentFace(); }
    ProgramFolder& folder() { return session_->folder(); }
    XClient& x() { return session_->x(); }
    Process& kivo() { return session_->kivo(); }
    // Launches the program, once an earlier run and its main window have gone.
    void startKivo();
    std::chrono::milliseconds timeout() const { return face().appearTimeout(); }
    std::optional<std::string> autostartCommand() {
        return face().autostartCommand(folder(), displayName());
    }
    void setHidden(Hiding how, bool hidden) {
        face().setHidden(folder(), displayName(), x(), how, hidden);
    }
    void setDisplayDpi(int dpi) {
        face().setDisplayDpi(folder(), displayName(), x(), dpi);
        scale_ = dpi / 96.0;
    }

    // Starts the program and takes its main window.
    void openWindow();
    // Waits until the main window takes input, and keeps it as `window`: once its start button
    // is drawn, since a click before may be lost.
    void takeMainWindow();
    // A point of the window, in the program's pixels, on the screen at the display's scale.
    int screenX(int windowX) const {
        return window.geometry.x + static_cast<int>(std::lround(windowX * scale_));
    }
    int screenY(int windowY) const {
        return window.geometry.y + static_cast<int>(std::lround(windowY * scale_));
    }
    void clickInWindow(int windowX, int windowY, int button = 1) {
        x().click(screenX(windowX), screenY(windowY), button);
    }
    // Drags the picture by the travel from a point clear of the controls; the window follows.
    void dragBy(int dx, int dy);
    // Double-clicks that point of the picture.
    void doubleClickPicture() { x().doubleClick(screenX(kPictureX), screenY(kPictureY)); }
    // Double-clicks the picture and gives the question to save that answer.
    void closeAnswering(Answer answer);
    // Right-clicks that point and answers the stay-on-top question with OK.
    void acceptStayOnTop();
    // Closes the error box with Enter and takes the main window that opens after it.
    void dismissErrorBox();
    // Waits for the autostart entry and expects it to start this program.
    void expectAutostartEntry();
    // Follows the outline from now on and clicks the start button.
    void startBreathing();
    // At its rest the outline reaches every edge of the picture.
    bool waitForRest();
    // Both toolkits hand a topmost window's level to the window manager.
    bool staysAbove() {
        return std::ranges::count(x().netWmState(window.id), "_NET_WM_STATE_ABOVE") > 0;
    }
    // Clicks the panel's "Картинка" and, once the file dialog opens, types the path or name
    // into it and presses Enter; returns the dialog.
    std::optional<WindowInfo> choosePicture(const std::string& path, const Rect& panel = kPanel);
    // Moves the mouse off the window, where no tooltip covers it, and expects the window to
    // show the picture at its top-left corner, but for the panel there and the start button.
    // Returns the last capture.
    Image expectPictureShown(const Image& picture, const Rect& panel = kPanel);
    // The lines that the program saves for the picture and the window there, with its
    // elliptic outline (Vid=2), on top or not.
    std::vector<std::string> settingsLines(const std::filesystem::path& picture, const Rect& form,
                                           bool onTop = false);

    std::optional<WindowInfo> waitForMainWindow() {
        return x().waitForWindow(face().title(), timeout(), isMainWindow);
    }
    // Both return once the box has the keyboard focus. The program's questions and reports are
    // titled by their kind ("Confirm", "Information"), its error boxes by its own title.
    std::optional<WindowInfo> waitForErrorBox() {
        return withFocus(x().waitForWindow(face().title(), timeout(), isErrorBox));
    }
    std::optional<WindowInfo> waitForDialog(const std::string& title) {
        return withFocus(x().waitForWindow(title, timeout()));
    }
    // Presses the key in the box; whether the box went.
    bool answer(const WindowInfo& box, const std::string& keysym);
    bool mainWindowShows() { return !x().windowsTitled(face().title(), isMainWindow).empty(); }
    bool errorBoxShows() { return !x().windowsTitled(face().title(), isErrorBox).empty(); }
    // The message of the box that has the focus, with CR dropped; empty when none is told.
    std::string focusedBoxMessage() { return face().boxMessage(folder(), displayName(), x()); }
    // Painting lags behind mapping: captures the area until the picture is ready (or the
    // timeout passes) and returns the last capture.
    Image waitForCapture(const Rect& area, const std::function<bool(const Image&)>& ready);

    // The main window that takeMainWindow found, where the drags have taken it.
    WindowInfo window;

  protected:
    // A window manager keeps program-placed windows on the screen by rules of its own.
    virtual bool withWindowManager() const { return true; }
    // Put into the program folder's name.
    virtual std::string folderLabel() const { return ""; }

  private:
    // The borderless main window asks the window manager for no frame; the error boxes do not.
    static bool isMainWindow(const WindowInfo& window) { return !window.decorated; }
    static bool isErrorBox(const WindowInfo& window) { return window.decorated; }
    const std::string& displayName() const { return session_->displayName(); }
    std::optional<WindowInfo> withFocus(const std::optional<WindowInfo>& dialog);

    std::unique_ptr<Session> session_;
    double scale_ = 1; // the display's
};

} // namespace kivo::e2e
