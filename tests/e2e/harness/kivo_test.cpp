#include "kivo_test.h"

#include "wait.h"

#include <iostream>

namespace kivo::e2e {

using namespace std::chrono_literals;

void KivoTest::TearDown() {
    if (HasFailure() && session_) {
        folder().keep();
        writePpm(x().capture({0, 0, VirtualDisplay::kWidth, VirtualDisplay::kHeight}),
                 folder().logs() / "screen.ppm");
        std::cerr << "Screenshot and logs kept in " << folder().logs() << "\n";
    }
    session_.reset();
}

void KivoTest::startKivo() {
    // The X server drops an ended program's windows a moment later: until then a search could
    // take them for the new run's.
    if (window.id != 0) {
        kivo().stop();
        x().waitUntilGone(window.id, timeout());
    }
    session_->startKivo();
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

void KivoTest::dragBy(int dx, int dy) {
    const int fromX = screenX(kPictureX);
    const int fromY = screenY(kPictureY);
    x().drag(fromX, fromY, fromX + dx, fromY + dy);
    window.geometry.x += dx;
    window.geometry.y += dy;
    ASSERT_TRUE(waitUntil(timeout(), [&] { return x().geometry(window.id) == window.geometry; }))
        << "the drag left the window at " << x().geometry(window.id);
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
                                                 const Rect& form, bool onTop) {
    return {"Image=" + face().nativePath(picture),
            "Formkivo.left=" + std::to_string(form.x),
            "Formkivo.top=" + std::to_string(form.y),
            "Formkivo.width=" + std::to_string(form.width),
            "Formkivo.height=" + std::to_string(form.height),
            "Vid=2",
            onTop ? "flpv=true" : "flpv=false"};
}

bool KivoTest::answer(const WindowInfo& box, const std::string& keysym) {
    x().pressKey(keysym);
    return x().waitUntilGone(box.id, timeout());
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
