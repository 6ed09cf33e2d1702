#include "core/window/form_input.h"
#include "fake_desktop.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

struct Input : test::FormTest {
    FormInput input{form};

    bool started() const { return form.state.Running == 1; }
};

TEST_F(Input, TheStartButtonClicksOnALeftPressAndReleaseOverIt) {
    input.press(Control::Image2, MouseButton::Left, {5, 5});
    input.release(Control::Image2, MouseButton::Left, {40, 5}, false);
    EXPECT_FALSE(started()) << "released off the button";
    input.press(Control::Image2, MouseButton::Right, {5, 5});
    input.release(Control::Image2, MouseButton::Left, {5, 5}, true);
    EXPECT_FALSE(started()) << "no left press before the release";
    input.press(Control::Image2, MouseButton::Left, {5, 5});
    input.release(Control::Image2, MouseButton::Right, {5, 5}, true);
    EXPECT_FALSE(started());
    input.release(Control::Image2, MouseButton::Left, {6, 6}, true);
    EXPECT_TRUE(started());
    EXPECT_FALSE(form.state.TrialMode);
}

TEST_F(Input, ThePictureDragsAndItsDoubleClickComesBeforeTheSecondPress) {
    desktop.window = {100, 50, 280, 279};
    input.press(Control::Image1, MouseButton::Left, {10, 20});
    input.move(Control::Image1, {15, 17});
    input.release(Control::Image1, MouseButton::Left, {15, 17}, true);
    EXPECT_EQ(desktop.window, (WindowBounds{105, 47, 280, 279}));
    EXPECT_FALSE(started()) << "a click on the picture starts nothing";

    desktop.answers = {ModalResult::No};
    EXPECT_FALSE(input.doubleClick(Control::Image1, MouseButton::Left))
        << "the window closed: no press follows";
    EXPECT_EQ(desktop.closeCalls, 1);
}

TEST_F(Input, ADoubleClickThatLeavesTheWindowOpenIsFollowedByItsPress) {
    form.state.TrialMode = 1;
    EXPECT_TRUE(input.doubleClick(Control::Image1, MouseButton::Left));
    EXPECT_EQ(form.state.TrialMode, 0) << "the double-click ended the trial";
    EXPECT_TRUE(input.doubleClick(Control::Image1, MouseButton::Right));
    EXPECT_TRUE(input.doubleClick(Control::Image2, MouseButton::Left));
    EXPECT_EQ(desktop.closeCalls, 0) << "only the picture's left double-click closes";
}

TEST_F(Input, ButtonsAndTheTimerReachTheirHandlers) {
    input.click(Control::SpeedButton1);
    EXPECT_EQ(desktop.openDialogs.size(), 1u);
    input.click(Control::SpeedButton3);
    EXPECT_EQ(desktop.dialogs.size(), 1u) << "the outline question";
    input.click(Control::SpeedButton2);
    EXPECT_EQ(form.state.TrialMode, 1);
    const std::size_t runs = desktop.letRuns.size();
    input.timer();
    EXPECT_GT(desktop.letRuns.size(), runs) << "a tick lets pending events run";
    input.click(Control::Panel1);
    input.click(Control::Label1);
    EXPECT_EQ(desktop.dialogs.size(), 1u);
}

TEST_F(Input, AnErrorInAHandlerGoesToTheErrorBox) {
    desktop.autostartWriteFails = true;
    desktop.answers = {ModalResult::OK};
    input.press(Control::Image1, MouseButton::Right, {1, 1});
    // Which text it shows gestures_test checks.
    EXPECT_EQ(desktop.errorBoxes.size(), 1u);
}

} // namespace
} // namespace kivo
