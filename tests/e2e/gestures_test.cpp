#include "controls.h"
#include "kivo_test.h"
#include "wait.h"

#include <algorithm>

namespace kivo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kSideHalf = 140;

class Gestures : public KivoTest {
  protected:
    int atX(int windowX) const { return window.geometry.x + windowX; }
    int atY(int windowY) const { return window.geometry.y + windowY; }

    // Both toolkits hand a topmost window's level to the window manager.
    bool staysAbove() {
        const auto state = x().netWmState(window.id);
        return std::find(state.begin(), state.end(), "_NET_WM_STATE_ABOVE") != state.end();
    }

    std::optional<WindowInfo> rightClickForQuestion(int windowX, int windowY) {
        x().click(atX(windowX), atY(windowY), 3);
        return waitForDialog("Confirm");
    }

    void answer(const WindowInfo& question, const std::string& keysym) {
        x().pressKey(keysym);
        EXPECT_TRUE(x().waitUntilGone(question.id, timeout())) << keysym << " left it open";
    }

    void startBreathing() {
        x().watchShape(window.id);
        x().click(atX(kStartButtonArea.width / 2), atY(kStartButtonArea.height / 2));
    }
};

TEST_F(Gestures, ADragMovesTheWindowByTheMousesTravelAndTheReleaseShowsThePanel) {
    openWindow();
    dragBy(150, 100);
    EXPECT_EQ(window.geometry, (Rect{150, 100, 280, 279}));

    x().moveMouse(1000, 900); // a tooltip could cover the panel
    const Image shot = waitForCapture(window.geometry, [](const Image& image) {
        return panelShows(image, kPanel) && startButtonShows(image);
    });
    EXPECT_TRUE(panelShows(shot, kPanel)) << "the release did not bring the panel back";
    EXPECT_TRUE(startButtonShows(shot)) << "the release did not bring the start button back";
}

TEST_F(Gestures, HoldingTheButtonPausesTheBreathingAndTheReleaseResumesIt) {
    openWindow();
    startBreathing();
    // The centre lies inside every outline of the growth.
    ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return change.extents.width > 40;
    })) << "no breathing";

    x().moveMouse(atX(kSideHalf), atY(kSideHalf));
    x().pressButton();
    // Ticks already under way when the press arrived may still show (several on a slow
    // face); a breathing that goes on is caught below all the same.
    for (int i = 0; i < 20 && x().nextShapeChange(200ms); ++i) {
    }
    x().moveMouse(atX(kSideHalf + 50), atY(kSideHalf + 20));
    const Rect moved{window.geometry.x + 50, window.geometry.y + 20, 280, 280};
    EXPECT_TRUE(waitUntil(timeout(), [&] { return x().geometry(window.id) == moved; }))
        << "the window is at " << x().geometry(window.id);
    EXPECT_FALSE(x().nextShapeChange(500ms)) << "the outline changed while the button was held";

    x().releaseButton();
    EXPECT_TRUE(x().nextShapeChange(1s)) << "the release did not resume the breathing";
}

TEST_F(Gestures, TheRightButtonPutsTheWindowAboveAtTheNextTickAndRegistersAutostart) {
    openWindow();
    ASSERT_EQ(autostartCommand(), std::nullopt) << "the face came with an autostart entry";

    auto question = rightClickForQuestion(kPictureX, kPictureY);
    ASSERT_TRUE(question) << "no stay-on-top question";
    answer(*question, "Return"); // the leftmost button, OK, has the focus
    std::optional<std::string> command;
    EXPECT_TRUE(waitUntil(timeout(), [&] { return (command = autostartCommand()).has_value(); }))
        << "OK wrote no autostart entry";
    EXPECT_EQ(command, face().expectedAutostartCommand(folder()));
    // Idle, the window keeps its level until a tick applies the choice.
    EXPECT_FALSE(staysAbove());

    startBreathing();
    EXPECT_TRUE(waitUntil(timeout(), [&] { return staysAbove(); }))
        << "the breathing did not put the window above";

    // During the rest the whole picture can be hit.
    ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return change.extents.width >= 279;
    })) << "no rest at full size";
    question = rightClickForQuestion(kSideHalf, kSideHalf);
    ASSERT_TRUE(question) << "no stay-on-top question while breathing";
    EXPECT_TRUE(waitUntil(timeout(), [&] { return !staysAbove(); }))
        << "the window stayed above the question";
    answer(*question, "a"); // the mnemonic of "&Abort"
    EXPECT_TRUE(waitUntil(timeout(), [&] { return !autostartCommand().has_value(); }))
        << "Abort kept the autostart entry";
    EXPECT_TRUE(waitUntil(timeout(), [&] { return !staysAbove(); }))
        << "the next tick did not put the window back to normal level";
    EXPECT_TRUE(kivo().running());
}

} // namespace
} // namespace kivo::e2e
