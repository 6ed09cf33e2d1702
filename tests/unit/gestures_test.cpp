#include "core/window/form_kivo.h"
#include "fake_desktop.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace kivo {
namespace {

using Gestures = test::FormTest;

TEST_F(Gestures, DraggingMovesTheWindowByTheMouseAndMarksAChange) {
    desktop.window = {100, 50, 280, 279};
    form.Image1MouseDown(MouseButton::Left, 10, 20);
    EXPECT_EQ(form.state.Dragging, 1);
    EXPECT_FALSE(desktop.panelVisible);
    EXPECT_FALSE(desktop.startButtonVisible);
    EXPECT_EQ(desktop.pictureCursor, CursorShape::SizeAll);
    EXPECT_EQ(desktop.windowCursor, CursorShape::SizeAll);
    form.Image1MouseMove(15, 17);
    EXPECT_EQ(desktop.window, (WindowBounds{105, 47, 280, 279}));
    EXPECT_EQ(form.state.Changed, 1);
    form.Image1MouseUp(MouseButton::Left, 15, 17);
    EXPECT_EQ(form.state.Dragging, 0);
    EXPECT_TRUE(desktop.panelVisible);
    EXPECT_TRUE(desktop.startButtonVisible);
    EXPECT_EQ(desktop.pictureCursor, CursorShape::Hand);
    EXPECT_EQ(desktop.windowCursor, CursorShape::Forbidden);
    EXPECT_FALSE(desktop.timerEnabled);
}

TEST_F(Gestures, AClickWithoutMovementAndStrayMovesChangeNothing) {
    desktop.window = {100, 50, 280, 279};
    form.Image1MouseMove(30, 30);
    form.Image1MouseDown(MouseButton::Middle, 1, 1);
    form.Image1MouseDown(MouseButton::Left, 10, 20);
    form.Image1MouseUp(MouseButton::Left, 10, 20);
    EXPECT_EQ(desktop.window, (WindowBounds{100, 50, 280, 279}));
    EXPECT_EQ(form.state.Changed, 0);
}

// On a slow machine a quick click's release runs inside the press's own let-run points.
TEST_F(Gestures, AReleaseThatRunsInsideThePressLeavesNoDrag) {
    desktop.window = {100, 50, 280, 279};
    for (const LetRunPoint letRun : {LetRunPoint::AfterHiding, LetRunPoint::AfterCursor}) {
        desktop.injectAt[letRun] = [&] { form.Image1MouseUp(MouseButton::Left, 10, 20); };
        form.Image1MouseDown(MouseButton::Left, 10, 20);
        EXPECT_EQ(form.state.Dragging, 0) << "release at let-run point " << int(letRun);
        form.Image1MouseMove(300, 200);
        EXPECT_EQ(desktop.window, (WindowBounds{100, 50, 280, 279}));
    }
    EXPECT_EQ(form.state.Changed, 0);
}

TEST_F(Gestures, DragPausesTheAnimationAndTheReleaseResumesIt) {
    start({280, 280}, 2);
    tick();
    form.Image1MouseDown(MouseButton::Left, 10, 10);
    EXPECT_FALSE(desktop.timerEnabled);
    form.Image1MouseMove(12, 10);
    EXPECT_FALSE(desktop.timerEnabled);
    form.Image1MouseUp(MouseButton::Left, 12, 10);
    EXPECT_TRUE(desktop.timerEnabled);
    EXPECT_FALSE(desktop.panelVisible);
    EXPECT_EQ(form.state.Inset, 139);
}

TEST_F(Gestures, MovingAWindowAtTheCoordinateLimitDoesNotOverflow) {
    desktop.window = {std::numeric_limits<int>::max() - 1, 0, 280, 279};
    form.Image1MouseDown(MouseButton::Left, 0, 0);
    form.Image1MouseMove(5, 0);
    EXPECT_EQ(desktop.window.left, std::numeric_limits<int>::max());
}

TEST_F(Gestures, StayOnTopAnswersSetFlpvAndTheAutostartEntry) {
    desktop.answers = {ModalResult::OK, ModalResult::OK};
    form.Image1MouseDown(MouseButton::Right, 5, 5);
    ASSERT_EQ(desktop.dialogs.size(), 1u);
    EXPECT_EQ(desktop.dialogs[0].text,
              "Установить/снять поверх всех\nОК - установить\nAbort - снять");
    EXPECT_EQ(form.state.Flpv, 1);
    EXPECT_EQ(form.state.Changed, 1);
    EXPECT_EQ(desktop.level, WindowLevel::Normal); // idle: the level waits for something else
    form.state.Changed = 0;
    form.Image1MouseDown(MouseButton::Right, 5, 5);
    EXPECT_EQ(desktop.autostart,
              (std::map<std::string, std::string>{{"kivo.narod.ru", desktop.exePath}}));
    EXPECT_EQ(form.state.Changed, 0);
    EXPECT_FALSE(desktop.timerEnabled);

    desktop.answers = {ModalResult::Abort, ModalResult::Abort};
    form.Image1MouseDown(MouseButton::Right, 5, 5);
    form.Image1MouseDown(MouseButton::Right, 5, 5);
    EXPECT_TRUE(desktop.autostart.empty());
    EXPECT_EQ(form.state.Flpv, 0);

    form.state.Changed = 0;
    form.Image1MouseDown(MouseButton::Right, 5, 5); // closed by the close box
    EXPECT_EQ(form.state.Flpv, 0);
    EXPECT_EQ(form.state.Changed, 0);
}

TEST_F(Gestures, FailedAutostartWriteEndsTheHandlerWithFlpvSetAndTheReleaseResumes) {
    start({280, 280}, 2);
    tick();
    desktop.autostartWriteFails = true;
    desktop.answers = {ModalResult::OK};
    form.dispatch([&] { form.Image1MouseDown(MouseButton::Right, 5, 5); });
    ASSERT_EQ(desktop.errorBoxes.size(), 1u);
    EXPECT_EQ(desktop.errorBoxes[0].second, "Failed to set data for 'kivo.narod.ru'");
    EXPECT_EQ(form.state.Flpv, 1);
    EXPECT_EQ(form.state.Changed, 0);
    EXPECT_FALSE(desktop.timerEnabled);
    form.Image1MouseUp(MouseButton::Right, 5, 5);
    EXPECT_TRUE(desktop.timerEnabled);
}

struct Closing : Gestures {
    test::TempDir dir;
    std::filesystem::path settings = dir.path() / "date" / "soxran.txt";

    Closing() {
        form.state.ProgramDir = dir.dir();
        form.state.Changed = 1;
    }
};

TEST_F(Closing, NothingChangedClosesWithoutAsking) {
    form.state.Changed = 0;
    form.Image1DblClick();
    EXPECT_TRUE(desktop.dialogs.empty());
    EXPECT_EQ(desktop.closeCalls, 1);
    EXPECT_EQ(form.state.StopRequested, 1);
}

TEST_F(Closing, DismissedQuestionAsksAgainAndOkSavesThenCloses) {
    std::filesystem::create_directory(dir.path() / "date");
    form.state.Vid = 1;
    desktop.answers = {ModalResult::Cancel, ModalResult::OK};
    form.Image1DblClick();
    ASSERT_EQ(desktop.dialogs.size(), 2u);
    EXPECT_EQ(desktop.dialogs[0].text, "Сохранить изменения?\nNO - НЕТ\nOK - ДА");
    EXPECT_EQ(desktop.dialogs[1].text, "Выберите одно из двух!\nNO - НЕТ\nOK - ДА");
    EXPECT_EQ(desktop.dialogs[1].buttons.size(), 2u);
    EXPECT_NE(test::readFile(settings).find("Vid=1\r\n"), std::string::npos);
    EXPECT_EQ(desktop.closeCalls, 1);
}

TEST_F(Closing, NoClosesWithoutSaving) {
    std::filesystem::create_directory(dir.path() / "date");
    desktop.answers = {ModalResult::No};
    form.Image1DblClick();
    EXPECT_FALSE(std::filesystem::exists(settings));
    EXPECT_EQ(desktop.closeCalls, 1);
}

TEST_F(Closing, FailedWriteKeepsTheWindowOpenAndTheNextResumeTicksOnce) {
    start({280, 280}, 2);
    tick();
    desktop.answers = {ModalResult::OK};
    form.dispatch([&] { form.Image1DblClick(); });
    EXPECT_EQ(desktop.errorBoxes.size(), 1u);
    EXPECT_EQ(desktop.closeCalls, 0);
    form.Image1MouseUp(MouseButton::Left, 0, 0);
    EXPECT_TRUE(desktop.timerEnabled);
    form.Timer1Timer();
    EXPECT_FALSE(desktop.timerEnabled);
}

TEST_F(Closing, TrialEndsWithoutAskingAndTheNextDoubleClickCloses) {
    form.state.InsetMax = 140;
    form.SpeedButton2Click();
    form.Timer1Timer();
    form.Image1DblClick();
    EXPECT_TRUE(desktop.dialogs.empty());
    EXPECT_EQ(desktop.closeCalls, 0);
    EXPECT_EQ(desktop.outline, (Outline{OutlineKind::Rect, {0, 0, 280, 280}}));
    EXPECT_TRUE(desktop.panelVisible);
    EXPECT_TRUE(desktop.startButtonVisible);
    EXPECT_EQ(desktop.level, WindowLevel::Topmost);
    EXPECT_EQ(form.state.Running, 0);
    EXPECT_EQ(form.state.TrialMode, 0);
    EXPECT_EQ(form.state.Inset, 140);

    desktop.answers = {ModalResult::No};
    form.Image1DblClick();
    EXPECT_EQ(desktop.dialogs.size(), 1u);
    EXPECT_EQ(desktop.closeCalls, 1);
}

} // namespace
} // namespace kivo
