#include "kivo_test.h"

#include "controls.h"
#include "wait.h"

#include <iostream>

namespace kivo::e2e {

void KivoTest::SetUp() {
    session_ = std::make_unique<Session>(face(), withWindowManager(), folderLabel());
}

void KivoTest::TearDown() {
    if (HasFailure() && session_) {
        folder().keep();
        writePpm(x().capture({0, 0, VirtualDisplay::kWidth, VirtualDisplay::kHeight}),
                 folder().logs() / "screen.ppm");
        std::cerr << "Screenshot and logs kept in " << folder().logs() << "\n";
    }
    session_.reset();
}

void KivoTest::openWindow() {
    startKivo();
    const auto found = waitForPaintedMainWindow();
    ASSERT_TRUE(found) << "no main window";
    window = *found;
}

void KivoTest::dragBy(int dx, int dy) {
    const int fromX = window.geometry.x + kPictureX;
    const int fromY = window.geometry.y + kPictureY;
    x().drag(fromX, fromY, fromX + dx, fromY + dy);
    window.geometry.x += dx;
    window.geometry.y += dy;
    ASSERT_TRUE(waitUntil(timeout(), [&] { return x().geometry(window.id) == window.geometry; }))
        << "the drag left the window at " << x().geometry(window.id);
}

void KivoTest::doubleClickPicture() {
    x().doubleClick(window.geometry.x + kPictureX, window.geometry.y + kPictureY);
}

void KivoTest::acceptStayOnTop() {
    x().click(window.geometry.x + kPictureX, window.geometry.y + kPictureY, 3);
    const auto question = waitForDialog("Confirm");
    ASSERT_TRUE(question) << "no stay-on-top question";
    x().pressKey("Return"); // OK
    ASSERT_TRUE(x().waitUntilGone(question->id, timeout()));
}

std::optional<WindowInfo> KivoTest::waitForMainWindow() {
    return x().waitForWindow(face().title(), timeout(),
                             [](const WindowInfo& window) { return !window.decorated; });
}

std::optional<WindowInfo> KivoTest::waitForPaintedMainWindow() {
    const auto window = waitForMainWindow();
    const auto painted = [this](const Image& shot) { return startButtonShows(shot, scale_); };
    if (window && !painted(waitForCapture(window->geometry, painted))) {
        return std::nullopt;
    }
    return window;
}

std::optional<WindowInfo> KivoTest::waitForErrorBox() {
    return withFocus(x().waitForWindow(face().title(), timeout(),
                                       [](const WindowInfo& window) { return window.decorated; }));
}

std::optional<WindowInfo> KivoTest::waitForDialog(const std::string& title) {
    return withFocus(x().waitForWindow(title, timeout()));
}

std::string KivoTest::focusedBoxMessage() {
    return face().boxMessage(folder(), session_->displayName(), x());
}

std::optional<WindowInfo> KivoTest::withFocus(const std::optional<WindowInfo>& dialog) {
    // Keys typed before the dialog has the focus go to the window below it.
    if (dialog && !waitUntil(timeout(), [&] { return x().hasInputFocus(dialog->id); })) {
        ADD_FAILURE() << "\"" << dialog->title << "\" never took the keyboard focus, which is at "
                      << x().inputFocus();
    }
    return dialog;
}

Image KivoTest::waitForCapture(const Rect& area, const std::function<bool(const Image&)>& ready) {
    Image shot;
    waitUntil(timeout(), [&] {
        shot = x().capture(area);
        return ready(shot);
    });
    return shot;
}

} // namespace kivo::e2e
