#include "wine_kivo_test.h"

#include "face.h"
#include "virtual_display.h"
#include "wait.h"

#include <iostream>

namespace kivo::e2e {

void WineKivoTest::SetUp() {
    session_ = std::make_unique<WineSession>(folder);
}

void WineKivoTest::TearDown() {
    if (HasFailure()) {
        folder.keep();
        if (session_) {
            writePpm(x().capture({0, 0, VirtualDisplay::kWidth, VirtualDisplay::kHeight}),
                     folder.logs() / "screen.ppm");
        }
        std::cerr << "Screenshot and logs kept in " << folder.logs() << "\n";
    }
    session_.reset();
}

std::optional<WindowInfo> WineKivoTest::waitForMainWindow() {
    return session_->waitForMainWindow(kAppearTimeout);
}

std::optional<WindowInfo> WineKivoTest::waitForPaintedMainWindow() {
    const auto window = waitForMainWindow();
    if (window && !startButtonShows(waitForCapture(window->geometry, startButtonShows))) {
        return std::nullopt;
    }
    return window;
}

std::optional<WindowInfo> WineKivoTest::waitForDialog(const std::string& title) {
    const auto dialog = x().waitForWindow(title, kAppearTimeout);
    // Keys typed before the dialog has the focus go to the window below it.
    if (dialog && !waitUntil(kAppearTimeout, [&] { return x().hasInputFocus(dialog->id); })) {
        ADD_FAILURE() << "\"" << title << "\" never took the keyboard focus";
    }
    return dialog;
}

Image WineKivoTest::waitForCapture(const Rect& area,
                                   const std::function<bool(const Image&)>& ready) {
    Image shot;
    waitUntil(kAppearTimeout, [&] {
        shot = x().capture(area);
        return ready(shot);
    });
    return shot;
}

} // namespace kivo::e2e
