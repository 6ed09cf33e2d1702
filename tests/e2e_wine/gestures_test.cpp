#include "face.h"
#include "wait.h"
#include "wine_kivo_test.h"

#include <algorithm>

namespace kivo::e2e {
namespace {

// A point of the picture clear of the panel and the start button.
constexpr int kPictureX = 60;
constexpr int kPictureY = 220;
constexpr Rect kPanel{100, 95, 80, 88}; // centred on the 280 x 279 window

class WineGestures : public WineKivoTest {
  protected:
    void openWindow() {
        startKivo();
        const auto found = waitForPaintedMainWindow();
        ASSERT_TRUE(found) << "no main window";
        window = *found;
    }

    // Wine hands a topmost window's level to the window manager.
    bool staysAbove() {
        const auto state = x().netWmState(window.id);
        return std::find(state.begin(), state.end(), "_NET_WM_STATE_ABOVE") != state.end();
    }

    WindowInfo window;
};

TEST_F(WineGestures, ADragMovesTheWindowByTheMousesTravelAndTheReleaseShowsThePanel) {
    openWindow();
    x().drag(kPictureX, kPictureY, kPictureX + 150, kPictureY + 100);
    const Rect moved{150, 100, 280, 279};
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return x().geometry(window.id) == moved; }))
        << "the window is at " << x().geometry(window.id);

    x().moveMouse(1000, 900); // a tooltip could cover the panel
    const Image shot = waitForCapture(moved, [](const Image& image) {
        return panelShows(image, kPanel) && startButtonShows(image);
    });
    EXPECT_TRUE(panelShows(shot, kPanel)) << "the release did not bring the panel back";
    EXPECT_TRUE(startButtonShows(shot)) << "the release did not bring the start button back";
}

TEST_F(WineGestures, HoldingTheButtonPausesTheBreathingAndTheReleaseResumesIt) {
    using namespace std::chrono_literals;
    openWindow();
    x().watchShape(window.id);
    x().click(kStartButtonArea.width / 2, kStartButtonArea.height / 2);
    // The centre lies inside every outline of the growth.
    ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return change.extents.width > 40;
    })) << "no breathing";

    x().moveMouse(140, 140);
    x().pressButton();
    // A tick already under way may still show.
    for (int i = 0; i < 3 && x().nextShapeChange(100ms); ++i) {
    }
    x().moveMouse(190, 160);
    const Rect moved{50, 20, 280, 280};
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return x().geometry(window.id) == moved; }))
        << "the window is at " << x().geometry(window.id);
    EXPECT_FALSE(x().nextShapeChange(500ms)) << "the outline changed while the button was held";

    x().releaseButton();
    EXPECT_TRUE(x().nextShapeChange(1s)) << "the release did not resume the breathing";
}

TEST_F(WineGestures, AfterOkTheBreathingPutsTheWindowAboveAllOthers) {
    openWindow();
    x().click(kPictureX, kPictureY, 3);
    const auto question = waitForDialog("Confirm");
    ASSERT_TRUE(question) << "no stay-on-top question";
    x().pressKey("Return");
    EXPECT_TRUE(x().waitUntilGone(question->id, kAppearTimeout)) << "Enter left it open";
    // Idle, the window keeps its level until a tick applies the choice.
    EXPECT_FALSE(staysAbove());

    x().click(kStartButtonArea.width / 2, kStartButtonArea.height / 2);
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return staysAbove(); }))
        << "the breathing did not put the window above";
}

TEST_F(WineGestures, TheRightButtonsOkAddsTheRunValueAndAbortDeletesIt) {
    openWindow();
    ASSERT_EQ(runValue(), std::nullopt) << "the prefix came with a Run value";

    x().click(kPictureX, kPictureY, 3);
    auto question = waitForDialog("Confirm");
    ASSERT_TRUE(question) << "no stay-on-top question";
    x().pressKey("Return"); // the leftmost button, OK, has the focus
    EXPECT_TRUE(x().waitUntilGone(question->id, kAppearTimeout)) << "Enter left it open";
    std::optional<std::string> value;
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return (value = runValue()).has_value(); }))
        << "OK wrote no Run value";
    EXPECT_EQ(value, windowsPath(folder.executable()));

    x().click(kPictureX, kPictureY, 3);
    question = waitForDialog("Confirm");
    ASSERT_TRUE(question) << "no stay-on-top question the second time";
    x().pressKey("a"); // the mnemonic of "&Abort"
    EXPECT_TRUE(x().waitUntilGone(question->id, kAppearTimeout)) << "\"a\" left it open";
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return !runValue().has_value(); }))
        << "Abort kept the Run value";
    EXPECT_TRUE(kivo().running());
}

} // namespace
} // namespace kivo::e2e
