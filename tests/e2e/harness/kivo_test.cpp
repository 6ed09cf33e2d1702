#include "kivo_test.h"

#include "face.h"
#include "wait.h"

#include <iostream>

namespace kivo::e2e {

std::vector<std::string> KivoTest::environment() const {
    return environmentWith(
        {"DISPLAY", "WAYLAND_", "XAUTHORITY", "HOME", "XDG_", "QT_", "SESSION_MANAGER",
         "DBUS_SESSION_BUS_ADDRESS"},
        {"HOME=" + folder.home().string(), "XDG_CONFIG_HOME=" + folder.configHome().string(),
         "XDG_RUNTIME_DIR=" + folder.runtimeDir().string(), "QT_QPA_PLATFORM=xcb"});
}

void KivoTest::startDisplay(bool withWindowManager) {
    display_ = std::make_unique<VirtualDisplay>(folder.logs(), withWindowManager, environment());
    x_ = std::make_unique<XClient>(display_->name());
}

void KivoTest::startKivo() {
    if (!display_) {
        startDisplay();
    }
    ProcessOptions options;
    options.argv = {folder.executable().string()};
    options.env = environment();
    options.env.push_back("DISPLAY=" + display_->name());
    options.logPath = (folder.logs() / "kivo.log").string();
    kivo_ = std::make_unique<Process>(options);
}

std::optional<WindowInfo> KivoTest::waitForMainWindow() {
    return x().waitForWindow(kTitle, kAppearTimeout,
                             [](const WindowInfo& window) { return !window.dialog; });
}

std::optional<WindowInfo> KivoTest::waitForPaintedMainWindow() {
    const auto window = waitForMainWindow();
    if (window && !startButtonShows(waitForCapture(window->geometry, startButtonShows))) {
        return std::nullopt;
    }
    return window;
}

std::optional<WindowInfo> KivoTest::waitForErrorBox() {
    return x().waitForWindow(kTitle, kAppearTimeout,
                             [](const WindowInfo& window) { return window.dialog; });
}

std::optional<WindowInfo> KivoTest::waitForDialog(const std::string& title) {
    const auto dialog = x().waitForWindow(title, kAppearTimeout);
    // Keys typed before the dialog has the focus go to the window below it.
    if (dialog && !waitUntil(kAppearTimeout, [&] { return x().hasInputFocus(dialog->id); })) {
        ADD_FAILURE() << "\"" << title << "\" never took the keyboard focus";
    }
    return dialog;
}

Image KivoTest::waitForCapture(const Rect& area, const std::function<bool(const Image&)>& ready) {
    Image shot;
    waitUntil(kAppearTimeout, [&] {
        shot = x().capture(area);
        return ready(shot);
    });
    return shot;
}

void KivoTest::TearDown() {
    if (HasFailure()) {
        folder.keep();
        if (x_) {
            writePpm(x().capture({0, 0, VirtualDisplay::kWidth, VirtualDisplay::kHeight}),
                     folder.logs() / "screen.ppm");
        }
        std::cerr << "Screenshot and logs kept in " << folder.logs() << "\n";
    }
    kivo_.reset();
    x_.reset();
    display_.reset();
}

} // namespace kivo::e2e
