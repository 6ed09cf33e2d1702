#include "kivo_test.h"

#include "wait.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace kivo::e2e {

namespace {

using namespace std::chrono_literals;

// The borderless main window asks the window manager for no frame; the error boxes do not.
bool isMainWindow(const WindowInfo& window) {
    return !window.decorated;
}

bool isErrorBox(const WindowInfo& window) {
    return window.decorated;
}

} // namespace

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
    takeMainWindow();
}

void KivoTest::takeMainWindow() {
    const auto found = waitForMainWindow();
    ASSERT_TRUE(found) << "no main window";
    const auto painted = [this](const Image& shot) { return startButtonShows(shot, scale_); };
    ASSERT_TRUE(painted(waitForCapture(found->geometry, painted)))
        << "the main window's start button never showed";
    window = *found;
}

int KivoTest::screenX(int windowX) const {
    return window.geometry.x + static_cast<int>(std::lround(windowX * scale_));
}

int KivoTest::screenY(int windowY) const {
    return window.geometry.y + static_cast<int>(std::lround(windowY * scale_));
}

void KivoTest::clickInWindow(int windowX, int windowY, int button) {
    x().click(screenX(windowX), screenY(windowY), button);
}

void KivoTest::dragBy(int dx, int dy) {
    const int fromX = screenX(kPictureX);
    const int fromY = screenY(kPictureY);
    x().drag(fromX, fromY, fromX + dx, fromY + dy);
    window.geometry.x += dx;
    window.geometry.y += dy;
    ASSERT_TRUE(waitUntil(timeout(), [&] { return x().geometry(window.id) == window.geometry; }))
        << "the drag left the window at " << x().geometry(window.id);
}

void KivoTest::doubleClickPicture() {
    x().doubleClick(screenX(kPictureX), screenY(kPictureY));
}

void KivoTest::closeAnswering(Answer answer) {
    doubleClickPicture();
    ASSERT_TRUE(waitForDialog("Confirm")) << "closing did not ask to save";
    if (answer == Answer::Ok) {
        x().pressKey("Tab"); // from "&No", which has the focus, to "OK"
    }
    x().pressKey("Return");
}

void KivoTest::dismissErrorBox() {
    const auto box = waitForErrorBox();
    ASSERT_TRUE(box) << "no error box";
    ASSERT_TRUE(answer(*box, "Return")) << "Enter left the error box open";
    takeMainWindow();
}

void KivoTest::acceptStayOnTop() {
    clickInWindow(kPictureX, kPictureY, 3);
    const auto question = waitForDialog("Confirm");
    ASSERT_TRUE(question) << "no stay-on-top question";
    ASSERT_TRUE(answer(*question, "Return")); // OK, the leftmost button, has the focus
}

void KivoTest::expectAutostartEntry() {
    std::optional<std::string> command;
    EXPECT_TRUE(waitUntil(timeout(), [&] { return (command = autostartCommand()).has_value(); }))
        << "no autostart entry";
    EXPECT_EQ(command, face().expectedAutostartCommand(folder()));
}

void KivoTest::startBreathing() {
    x().watchShape(window.id);
    clickInWindow(kStartButtonArea.width / 2, kStartButtonArea.height / 2);
}

bool KivoTest::waitForRest() {
    const auto atRest = [](const ShapeChange& c) {
        return c.shaped && c.extents.x == 0 && c.extents.width > 0;
    };
    return x().waitForShapeChange(10s, atRest).has_value();
}

bool KivoTest::staysAbove() {
    const auto state = x().netWmState(window.id);
    return std::find(state.begin(), state.end(), "_NET_WM_STATE_ABOVE") != state.end();
}

std::optional<WindowInfo> KivoTest::choosePicture(const std::string& path, const Rect& panel) {
    clickInWindow(panel.x + kPictureButtonX, panel.y + kPictureButtonY);
    const auto dialog = waitForDialog("Выберите файл картинки");
    if (dialog) {
        x().pressChord({"Control_L", "a"});
        x().typeText(path);
        x().pressKey("Return");
    }
    return dialog;
}

Image KivoTest::expectPictureShown(const Image& picture, const Rect& panel) {
    x().moveMouse(1000, 900); // a tooltip could cover the picture
    // The controls paint one by one: wait for all of them.
    const Image shot = waitForCapture(window.geometry, [&](const Image& image) {
        return startButtonShows(image) && panelShows(image, panel) &&
               differenceFromPicture(image, picture) == panel;
    });
    EXPECT_TRUE(startButtonShows(shot)) << "the start button does not show";
    EXPECT_TRUE(panelShows(shot, panel)) << "the panel does not show";
    EXPECT_EQ(differenceFromPicture(shot, picture), panel)
        << "the picture is not what the window shows, or the panel is elsewhere";
    return shot;
}

std::vector<std::string> KivoTest::settingsLines(const std::filesystem::path& picture,
                                                 const Rect& form) {
    return {"Image=" + face().nativePath(picture),
            "Formkivo.left=" + std::to_string(form.x),
            "Formkivo.top=" + std::to_string(form.y),
            "Formkivo.width=" + std::to_string(form.width),
            "Formkivo.height=" + std::to_string(form.height),
            "Vid=2",
            "flpv=false"};
}

std::optional<WindowInfo> KivoTest::waitForMainWindow() {
    return x().waitForWindow(face().title(), timeout(), isMainWindow);
}

std::optional<WindowInfo> KivoTest::waitForErrorBox() {
    return withFocus(x().waitForWindow(face().title(), timeout(), isErrorBox));
}

std::optional<WindowInfo> KivoTest::waitForDialog(const std::string& title) {
    return withFocus(x().waitForWindow(title, timeout()));
}

bool KivoTest::answer(const WindowInfo& box, const std::string& keysym) {
    x().pressKey(keysym);
    return x().waitUntilGone(box.id, timeout());
}

bool KivoTest::mainWindowShows() {
    return !x().windowsTitled(face().title(), isMainWindow).empty();
}

bool KivoTest::errorBoxShows() {
    return !x().windowsTitled(face().title(), isErrorBox).empty();
}

std::string KivoTest::focusedBoxMessage() {
    return face().boxMessage(folder(), displayName(), x());
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
