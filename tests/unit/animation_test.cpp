#include "core/window/form_kivo.h"
#include "fake_desktop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace kivo {
namespace {

using Animation = test::FormTest;

TEST_F(Animation, StartFitsTheWindowToThePictureAndHidesTheControls) {
    desktop.window = {50, 60, 400, 300};
    form.state.StopRequested = 1;
    start({280, 200}, 2);
    EXPECT_EQ(desktop.window, (WindowBounds{50, 60, 280, 200}));
    EXPECT_FALSE(desktop.panelVisible);
    EXPECT_FALSE(desktop.startButtonVisible);
    EXPECT_EQ(form.state.Inset, 140);
    EXPECT_EQ(form.state.Running, 1);
    EXPECT_EQ(form.state.TrialMode, 0);
    EXPECT_EQ(form.state.StopRequested, 0);
    EXPECT_TRUE(desktop.timerEnabled);
    form.SpeedButton2Click();
    EXPECT_EQ(form.state.TrialMode, 1);
}

TEST_F(Animation, CircleGrowsOutRestsTwoSecondsAndShrinksBack) {
    start({280, 280}, 2);
    tick();
    EXPECT_EQ(desktop.outline, (Outline{OutlineKind::Ellipse, {139, 139, 141, 141}}));
    EXPECT_EQ(form.state.Region, desktop.outline);
    EXPECT_EQ(desktop.timerInterval, 10);
    EXPECT_TRUE(desktop.timerEnabled);

    tick(139);
    EXPECT_EQ(desktop.outline.box, (Box{0, 0, 280, 280}));
    EXPECT_EQ(desktop.timerInterval, 2000);
    EXPECT_TRUE(desktop.timerEnabled);

    tick();
    EXPECT_EQ(form.state.Inset, 1);
    EXPECT_EQ(desktop.timerInterval, 10);
    tick(139);
    EXPECT_EQ(form.state.Inset, 140);
    EXPECT_EQ(form.state.Shrinking, 0);
    tick();
    EXPECT_EQ(form.state.Inset, 139);
}

TEST_F(Animation, LevelFollowsFlpvAndIsSetBeforeTheOutline) {
    start({280, 280}, 1);
    form.state.Flpv = 1;
    desktop.injectAt[LetRunPoint::AfterLevel] = [&] {
        EXPECT_EQ(desktop.levels, std::vector<WindowLevel>{WindowLevel::Topmost});
        EXPECT_TRUE(desktop.outlines.empty());
    };
    tick();
    EXPECT_TRUE(desktop.injectAt.empty()) << "the tick passed no AfterLevel point";
    form.state.Flpv = 0;
    tick();
    EXPECT_EQ(desktop.level, WindowLevel::Normal);
}

TEST_F(Animation, WhileNobodySeesTheWindowOnlyTheTimerWaits) {
    start({280, 280}, 2);
    tick(10);
    form.SeenChanged(false);
    EXPECT_FALSE(desktop.timerEnabled);
    form.Image1MouseDown(MouseButton::Left, 140, 140);
    form.Image1MouseUp(MouseButton::Left, 140, 140);
    EXPECT_FALSE(desktop.timerEnabled) << "a release woke the breathing nobody sees";
    form.SeenChanged(true);
    EXPECT_TRUE(desktop.timerEnabled);
    tick();
    EXPECT_EQ(form.state.Inset, 129) << "the breathing went on from where it was";

    tick(129);
    EXPECT_EQ(desktop.timerInterval, 2000) << "no rest";
    form.SeenChanged(false);
    form.SeenChanged(true);
    EXPECT_EQ(desktop.timerInterval, 10) << "a rest nobody saw was waited for again";
    tick();
    EXPECT_EQ(form.state.Inset, 1) << "the breathing did not shrink after the rest";
}

TEST_F(Animation, WidePictureShowsASwappedBandThatVanishesAtTheTurn) {
    start({300, 200}, 1);
    tick(30);
    EXPECT_EQ(desktop.outline.box, (Box{120, 80, 180, 120}));
    tick(120 + 150);
    EXPECT_EQ(form.state.Inset, 150);
    EXPECT_TRUE(outlineRects(desktop.outline).empty());
}

TEST_F(Animation, UnknownVidKeepsTheWindowWholeWhileTheCycleRuns) {
    start({280, 280}, 5);
    tick(140);
    EXPECT_EQ(desktop.outlines, std::vector<Outline>(140, Outline{}));
    EXPECT_EQ(desktop.timerInterval, 2000);
}

TEST_F(Animation, ZeroInsetMaxRunsDownWithoutRestTurnOrOverflow) {
    start({1, 1}, 2);
    tick(3);
    EXPECT_EQ(form.state.Inset, -3);
    form.state.Inset = std::numeric_limits<std::int32_t>::min() + 1;
    tick(2);
    EXPECT_EQ(form.state.Inset, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(form.state.Shrinking, 0);
    EXPECT_EQ(desktop.timerInterval, 10);
    EXPECT_TRUE(desktop.timerEnabled);
    EXPECT_EQ(desktop.outline.box, (Box{-1, -1, 2, 2}));
}

// A press inside a tick pauses the breathing until its release; a double-click inside one stops
// it at the tick's end.
TEST_F(Animation, APressInsideATickPausesTheBreathingAndADoubleClickStopsIt) {
    start({280, 280}, 2);
    desktop.injectAt[LetRunPoint::BeforeRearming] = [&] {
        form.Image1MouseDown(MouseButton::Left, 140, 140);
    };
    tick();
    EXPECT_FALSE(desktop.timerEnabled) << "the tick re-armed the timer under a held button";
    form.Image1MouseUp(MouseButton::Left, 140, 140);
    EXPECT_TRUE(desktop.timerEnabled);

    desktop.injectAt[LetRunPoint::AfterOutline] = [&] { form.Image1DblClick(); };
    tick();
    EXPECT_EQ(desktop.closeCalls, 1);
    EXPECT_EQ(desktop.outlines.size(), 2u);
    EXPECT_FALSE(desktop.timerEnabled);
}

TEST_F(Animation, TrialEndedInsideATickKeepsTheFullWindow) {
    start({280, 280}, 2);
    form.SpeedButton2Click();
    tick(139);
    // At the rest: the trial ends before the direction would turn.
    desktop.injectAt[LetRunPoint::AtTheRest] = [&] { form.Image1DblClick(); };
    tick();
    EXPECT_EQ(form.state.Shrinking, 0);
    // Before the outline: the tick must not cover the restored window.
    form.SpeedButton2Click();
    desktop.injectAt[LetRunPoint::AfterLevel] = [&] { form.Image1DblClick(); };
    tick();
    const Outline full{OutlineKind::Rect, {0, 0, 280, 280}};
    EXPECT_EQ(desktop.outline, full);
    EXPECT_EQ(form.state.Region, full);
    EXPECT_EQ(desktop.level, WindowLevel::Topmost);
    EXPECT_EQ(form.state.Inset, 140);
    EXPECT_FALSE(desktop.timerEnabled);
    EXPECT_EQ(desktop.closeCalls, 0);
}

} // namespace
} // namespace kivo
