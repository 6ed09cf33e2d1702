#include "core/window/form_input.h"
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

    // A window at the coordinate limit moves up to it, without overflow.
    desktop.window = {std::numeric_limits<int>::max() - 1, 0, 280, 279};
    form.Image1MouseDown(MouseButton::Left, 0, 0);
    form.Image1MouseMove(5, 0);
    EXPECT_EQ(desktop.window.left, std::numeric_limits<int>::max());
}

// Neither stray moves, nor a click without movement, nor one whose release runs inside the
// press's own let-run points, as a quick click's does on a slow machine, leave a drag behind.
TEST_F(Gestures, AClickWithoutMovementStrayMovesAndAReleaseInsideThePressChangeNothing) {
    desktop.window = {100, 50, 280, 279};
    form.Image1MouseMove(30, 30);
    form.Image1MouseDown(MouseButton::Middle, 1, 1);
    form.Image1MouseDown(MouseButton::Left, 10, 20);
    form.Image1MouseUp(MouseButton::Left, 10, 20);
    EXPECT_EQ(desktop.window, (WindowBounds{100, 50, 280, 279}));
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

struct Closing : Gestures {
    test::TempDir dir;
    std::filesystem::path settings = dir.path() / "date" / "soxran.txt";

    Closing() {
        form.state.ProgramDir = dir.dir();
        form.state.Changed = 1;
    }
};

TEST_F(Closing, OnlyAChangeAsksTheQuestionComesAgainUntilAnsweredAndOnlyOkSaves) {
    form.state.Changed = 0;
    form.Image1DblClick();
    EXPECT_TRUE(desktop.dialogs.empty());
    EXPECT_EQ(desktop.closeCalls, 1);
    EXPECT_EQ(form.state.StopRequested, 1);

    std::filesystem::create_directory(dir.path() / "date");
    form.state.Changed = 1;
    desktop.answers = {ModalResult::No};
    form.Image1DblClick();
    EXPECT_EQ(desktop.dialogs.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(settings));
    EXPECT_EQ(desktop.closeCalls, 2);

    form.state.Vid = 1;
    desktop.answers = {ModalResult::Cancel, ModalResult::OK};
    form.Image1DblClick();
    ASSERT_EQ(desktop.dialogs.size(), 3u);
    EXPECT_EQ(desktop.dialogs[1].text, "Сохранить изменения?\nNO - НЕТ\nOK - ДА");
    EXPECT_EQ(desktop.dialogs[2].text, "Выберите одно из двух!\nNO - НЕТ\nOK - ДА");
    EXPECT_EQ(desktop.dialogs[2].buttons.size(), 2u);
    EXPECT_NE(test::readFile(settings).find("Vid=1\r\n"), std::string::npos);
    EXPECT_EQ(desktop.closeCalls, 3);
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

// The toolkit's events as FormInput hands them to the handlers.
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

    form.state.TrialMode = 1;
    EXPECT_TRUE(input.doubleClick(Control::Image1, MouseButton::Left));
    EXPECT_EQ(form.state.TrialMode, 0) << "the double-click ended the trial";
    EXPECT_TRUE(input.doubleClick(Control::Image1, MouseButton::Right));
    EXPECT_TRUE(input.doubleClick(Control::Image2, MouseButton::Left));
    EXPECT_EQ(desktop.closeCalls, 0) << "only the picture's left double-click closes";

    desktop.answers = {ModalResult::No};
    EXPECT_FALSE(input.doubleClick(Control::Image1, MouseButton::Left))
        << "the window closed: no press follows";
    EXPECT_EQ(desktop.closeCalls, 1);
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

TEST_F(Input, AFailedAutostartWriteEndsTheHandlerInTheErrorBoxWithFlpvSetAndTheReleaseResumes) {
    start({280, 280}, 2);
    tick();
    desktop.autostartWriteFails = true;
    desktop.answers = {ModalResult::OK};
    input.press(Control::Image1, MouseButton::Right, {5, 5});
    EXPECT_EQ(desktop.errorBoxes, (std::vector<std::pair<std::string, std::string>>{
                                      {"kivo", "Failed to set data for 'kivo.narod.ru'"}}));
    EXPECT_EQ(form.state.Flpv, 1);
    EXPECT_EQ(form.state.Changed, 0);
    EXPECT_FALSE(desktop.timerEnabled);
    input.release(Control::Image1, MouseButton::Right, {5, 5}, true);
    EXPECT_TRUE(desktop.timerEnabled);
}

} // namespace
} // namespace kivo
