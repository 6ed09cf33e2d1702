#include "core/shape/outline.h"
#include "core/window/form_kivo.h"
#include "fake_desktop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

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

TEST(OutlineFor, VidChoosesTheKindInsideTheInsetBox) {
    EXPECT_EQ(outlineFor(0, 10, 280, 200), (Outline{OutlineKind::RoundRect, {10, 10, 270, 190}}));
    EXPECT_EQ(outlineFor(1, 10, 280, 200), (Outline{OutlineKind::Rect, {10, 10, 270, 190}}));
    EXPECT_EQ(outlineFor(2, 10, 280, 200), (Outline{OutlineKind::Ellipse, {10, 10, 270, 190}}));
    EXPECT_EQ(outlineFor(3, 10, 280, 200).kind, OutlineKind::Whole);
    EXPECT_EQ(outlineFor(-1, 10, 280, 200).kind, OutlineKind::Whole);
}

// The rectangle's band the breathing shows (animation_test); the ellipse's the same way.
TEST(OutlineFor, BandOfAWidePictureIsSwappedAndVanishesAtHalfTheWidth) {
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

TEST_F(OutlineChoice, AsksWithYesNoAllAndPutsTheWindowOnTop) {
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
}

TEST_F(OutlineChoice, EachAnswerSetsVidAndOnlyAChangeMarksChanged) {
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

} // namespace
} // namespace kivo
