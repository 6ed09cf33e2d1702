#include "kivo_test.h"
#include "wait.h"

namespace kivo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kSideHalf = 140;

using Gestures = OpenWindowTest;

TEST_F(Gestures, ADragMovesTheWindowByTheMousesTravelAndTheReleaseShowsThePanel) {
    dragBy(150, 100);
    EXPECT_EQ(window.geometry, (Rect{150, 100, 280, 279}));
    expectPictureShown(readBmp(folder().defaultPicture()));
}

TEST_F(Gestures, HoldingTheButtonPausesTheBreathingAndTheReleaseResumesIt) {
    startBreathing();
    // The centre lies inside every outline of the growth.
    ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return change.extents.width > 40;
    })) << "no breathing";

    x().moveMouse(screenX(kSideHalf), screenY(kSideHalf));
    x().pressButton();
    // Ticks already under way when the press arrived may still show (several on a slow
    // face); a breathing that goes on is caught below all the same.
    for (int i = 0; i < 20 && x().nextShapeChange(200ms); ++i) {
    }
    x().moveMouse(screenX(kSideHalf + 50), screenY(kSideHalf + 20));
    const Rect moved{window.geometry.x + 50, window.geometry.y + 20, 280, 280};
    EXPECT_TRUE(waitUntil(timeout(), [&] { return x().geometry(window.id) == moved; }))
        << "the window is at " << x().geometry(window.id);
    EXPECT_FALSE(x().nextShapeChange(500ms)) << "the outline changed while the button was held";

    x().releaseButton();
    EXPECT_TRUE(x().nextShapeChange(1s)) << "the release did not resume the breathing";
}

TEST_F(Gestures, TheRightButtonPutsTheWindowAboveAtTheNextTickAndRegistersAutostart) {
    ASSERT_EQ(autostartCommand(), std::nullopt) << "the face came with an autostart entry";

    acceptStayOnTop();
    expectAutostartEntry();
    // Idle, the window keeps its level until a tick applies the choice.
    EXPECT_FALSE(staysAbove());

    startBreathing();
    EXPECT_TRUE(waitUntil(timeout(), [&] { return staysAbove(); }))
        << "the breathing did not put the window above";

    // During the rest the whole picture can be hit.
    ASSERT_TRUE(waitForRest()) << "no rest at full size";
    clickInWindow(kSideHalf, kSideHalf, 3);
    const auto question = waitForDialog("Confirm");
    ASSERT_TRUE(question) << "no stay-on-top question while breathing";
    EXPECT_TRUE(waitUntil(timeout(), [&] { return !staysAbove(); }))
        << "the window stayed above the question";
    EXPECT_TRUE(answer(*question, "a")) << "the mnemonic of \"&Abort\" left the question open";
    EXPECT_TRUE(waitUntil(timeout(), [&] { return !autostartCommand().has_value(); }))
        << "Abort kept the autostart entry";
    EXPECT_TRUE(waitUntil(timeout(), [&] { return !staysAbove(); }))
        << "the next tick did not put the window back to normal level";
    EXPECT_TRUE(kivo().running());
}

} // namespace
} // namespace kivo::e2e
