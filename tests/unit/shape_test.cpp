#include "core/shape/outline.h"
#include "core/window/form_kivo.h"
#include "fake_desktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <utility>

namespace kivo {
namespace {

using Rects = std::vector<Box>;

Rects rectsOf(OutlineKind kind, Box box) {
    return outlineRects({kind, box});
}

// The rows, top to bottom, span the window from its first row to its last.
bool coversWindow(const Rects& rects, int width, int height) {
    int row = 0;
    for (const Box& r : rects) {
        if (r.top <= row && row < r.bottom && r.left <= 0 && r.right >= width) {
            row = r.bottom;
        }
    }
    return row >= height;
}

// The rectangle's band the breathing shows (Animation, below); the ellipse's the same way.
TEST(OutlineFor, VidChoosesTheKindInsideTheInsetBoxAndTheBandOfAWidePictureIsSwapped) {
    EXPECT_EQ(outlineFor(0, 10, 280, 200), (Outline{OutlineKind::RoundRect, {10, 10, 270, 190}}));
    EXPECT_EQ(outlineFor(1, 10, 280, 200), (Outline{OutlineKind::Rect, {10, 10, 270, 190}}));
    EXPECT_EQ(outlineFor(2, 10, 280, 200), (Outline{OutlineKind::Ellipse, {10, 10, 270, 190}}));
    EXPECT_EQ(outlineFor(3, 10, 280, 200).kind, OutlineKind::Whole);
    EXPECT_EQ(outlineFor(-1, 10, 280, 200).kind, OutlineKind::Whole);
    EXPECT_EQ(outlineFor(2, 149, 300, 200).box, (Box{149, 51, 151, 149}));
    EXPECT_TRUE(outlineRects(outlineFor(2, 150, 300, 200)).empty());
}

TEST(OutlineFor, RunawayInsetsStopGrowingOnceTheWindowIsCovered) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(outlineFor(2, kMin, 280, 200).box, (Box{-280, -280, 560, 480}));
    for (const Size window : {Size{1, 1}, Size{280, 280}, Size{300, 200}, Size{5, 120}}) {
        for (std::int32_t vid = 0; vid <= 2; ++vid) {
            for (const std::int32_t inset : {kMin, -5000, kMax}) {
                const Outline outline = outlineFor(vid, inset, window.width, window.height);
                EXPECT_TRUE(coversWindow(outlineRects(outline), window.width, window.height))
                    << "vid " << vid << " inset " << inset << " window " << window.width;
            }
        }
    }
}

TEST(OutlineRects, RectangleExcludesRightAndBottomAndEmptyBoxesGiveNothing) {
    EXPECT_EQ(rectsOf(OutlineKind::Rect, {2, 3, 5, 7}), (Rects{{2, 3, 5, 7}}));
    EXPECT_EQ(rectsOf(OutlineKind::Rect, {5, 7, 2, 3}), (Rects{{2, 3, 5, 7}}));
    for (const auto kind : {OutlineKind::Rect, OutlineKind::RoundRect, OutlineKind::Ellipse}) {
        EXPECT_TRUE(rectsOf(kind, {4, 4, 4, 9}).empty());
        EXPECT_TRUE(rectsOf(kind, {4, 4, 9, 4}).empty());
    }
}

TEST(OutlineRects, EllipsesLeaveOutTheLastColumnAndRowHaveNoHolesAndMergeEqualRows) {
    EXPECT_EQ(rectsOf(OutlineKind::Ellipse, {0, 0, 4, 4}),
              (Rects{{1, 0, 2, 1}, {0, 1, 3, 2}, {1, 2, 2, 3}}));
    EXPECT_EQ(rectsOf(OutlineKind::Ellipse, {0, 0, 5, 5}),
              (Rects{{1, 0, 3, 1}, {0, 1, 4, 3}, {1, 3, 3, 4}}));
    // The first and last ticks of a 280 x 280 circle.
    EXPECT_EQ(rectsOf(OutlineKind::Ellipse, {139, 139, 141, 141}), (Rects{{139, 139, 140, 140}}));
    EXPECT_TRUE(rectsOf(OutlineKind::Ellipse, {140, 140, 141, 141}).empty());
    // Too thin to round: a column.
    EXPECT_EQ(rectsOf(OutlineKind::Ellipse, {0, 0, 2, 12}), (Rects{{0, 0, 1, 11}}));
    // The trace ends short of the tips here; the last rows continue its last row.
    EXPECT_EQ(rectsOf(OutlineKind::Ellipse, {0, 0, 5, 37}),
              (Rects{{1, 2, 3, 6}, {0, 6, 4, 30}, {1, 30, 3, 34}}));
    EXPECT_LT(rectsOf(OutlineKind::Ellipse, {0, 0, 1920, 1080}).size(), 1000u);
}

// Pixel by pixel, between any two outlines: growing, shrinking, from and to nothing.
TEST(RevealedRows, AreThePixelsTheLaterRowsShowAndTheEarlierDoNotInBands) {
    const auto shows = [](const Rects& rects, int x, int y) {
        return std::any_of(rects.begin(), rects.end(), [&](const Box& r) {
            return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
        });
    };
    // The X server's banding: rows apart or alike, and left to right within one.
    const auto apart = [](const Box& a, const Box& b) {
        return a.top == b.top ? a.bottom == b.bottom && a.right < b.left : a.bottom <= b.top;
    };
    for (const auto& [before, after] : {std::pair{20, 19}, {19, 20}, {44, 30}, {45, 0}, {3, 40}}) {
        for (int vids = 0; vids < 9; ++vids) {
            const Rects earlier = outlineRects(outlineFor(vids / 3, before, 90, 60));
            const Rects later = outlineRects(outlineFor(vids % 3, after, 90, 60));
            const Rects revealed = revealedRows(earlier, later);
            int wrong = 0;
            for (int point = 0; point < 92 * 62; ++point) {
                const int x = point % 92 - 1;
                const int y = point / 92 - 1;
                wrong += shows(revealed, x, y) != (shows(later, x, y) && !shows(earlier, x, y));
            }
            EXPECT_EQ(wrong, 0) << "vids " << vids << ", insets " << before << " to " << after;
            EXPECT_EQ(std::adjacent_find(revealed.begin(), revealed.end(), std::not_fn(apart)),
                      revealed.end());
        }
    }
}

TEST(OutlineRects, RoundedCornersAreTwentyPixelEllipseQuarters) {
    const Rects rects = rectsOf(OutlineKind::RoundRect, {0, 0, 30, 30});
    ASSERT_EQ(rects.size(), 13u);
    EXPECT_EQ(Rects(rects.begin(), rects.begin() + 7), (Rects{{7, 0, 22, 1},
                                                              {5, 1, 24, 2},
                                                              {4, 2, 25, 3},
                                                              {3, 3, 26, 4},
                                                              {2, 4, 27, 5},
                                                              {1, 5, 28, 7},
                                                              {0, 7, 29, 22}}));
    EXPECT_EQ(rects.back(), (Box{7, 28, 22, 29}));
}

using OutlineChoice = test::FormTest;

TEST_F(OutlineChoice, AsksWithYesNoAllAndEachAnswerSetsVidMarksOnlyAChangeAndPutsTheWindowOnTop) {
    desktop.answers = {ModalResult::Yes};
    form.state.Vid = 2;
    form.SpeedButton3Click();
    ASSERT_EQ(desktop.dialogs.size(), 1u);
    const DialogModel& dialog = desktop.dialogs[0];
    EXPECT_EQ(dialog.text, "Установите прямоугольную, или эллипсную форму:\n\n"
                           "Yes - прямоугольник с прямыми углами\n"
                           "No  - прямоугольник с округлыми углами\n"
                           "All  - по умолчанию (эллипс)");
    EXPECT_EQ(dialog.title, "Confirm");
    ASSERT_EQ(dialog.buttons.size(), 3u);
    EXPECT_EQ(dialog.buttons[2].result, ModalResult::All);
    EXPECT_EQ(form.state.Vid, 1);
    EXPECT_EQ(form.state.Changed, 1);
    EXPECT_EQ(desktop.levels, std::vector<WindowLevel>{WindowLevel::Topmost});

    const struct {
        std::int32_t before;
        ModalResult answer;
        std::int32_t after;
        std::int32_t changed;
    } cases[] = {{2, ModalResult::No, 0, 1},     {2, ModalResult::All, 2, 0},
                 {0, ModalResult::Yes, 1, 1},    {1, ModalResult::Yes, 1, 0},
                 {1, ModalResult::Cancel, 1, 0}, {7, ModalResult::Cancel, 7, 0}};
    for (const auto& c : cases) {
        form.state.Vid = c.before;
        form.state.Changed = 0;
        desktop.answers = {c.answer};
        form.SpeedButton3Click();
        EXPECT_EQ(form.state.Vid, c.after);
        EXPECT_EQ(form.state.Changed, c.changed);
        EXPECT_EQ(desktop.level, WindowLevel::Topmost);
    }
}

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
