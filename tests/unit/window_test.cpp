#include "core/paths.h"
#include "core/window/form_kivo.h"
#include "core/window/message_dialog.h"
#include "fake_desktop.h"
#include "program.h"
#include "temp_files.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::bmp24;
using test::writeFile;

TEST(ApplicationTitle, FoldsAllButTheFirstLetterUpToTheFirstDot) {
    EXPECT_EQ(applicationTitleFor(std::string("Prog") + pathSeparator() + "KIVO.EXE"), "Kivo");
    EXPECT_EQ(applicationTitleFor("/usr/bin/my.tool.exe"), "my");
    EXPECT_EQ(applicationTitleFor("/opt/kivo/kivo"), "kivo");
    EXPECT_EQ(applicationTitleFor("/opt/Kivo/KiVo"), "Kivo");
    // Cyrillic capitals fold too (the names are UTF-8 inside the program on every face).
    EXPECT_EQ(applicationTitleFor("/opt/КИВО.EXE"), "Киво");
    EXPECT_EQ(applicationTitleFor("/opt/ЁЛКА-ЇЖАК-ҐАНОК.exe"), "Ёлка-їжак-ґанок");
    EXPECT_EQ(applicationTitleFor("/opt/Kivo-ДЕМО"), "Kivo-демо");
}

TEST(ErrorBoxText, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(errorBoxText("Bitmap image is not valid"), "Bitmap image is not valid.");
    EXPECT_EQ(errorBoxText("Disk full."), "Disk full.");
    EXPECT_EQ(errorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(errorBoxText("(see above)"), "(see above)");
    EXPECT_EQ(errorBoxText("'x' is not a valid integer value"),
              "'x' is not a valid integer value.");
    EXPECT_EQ(errorBoxText("Файл"), "Файл.");
}

TEST(ProgramDir, EndsInExactlyOneSeparator) {
    const std::string folder = std::string("kivo") + pathSeparator() + "bin";
    EXPECT_EQ(programDirOf(folder + pathSeparator() + "kivo"), folder + pathSeparator());
    EXPECT_EQ(withTrailingSeparator(folder), folder + pathSeparator());
    EXPECT_EQ(withTrailingSeparator(folder + pathSeparator()), folder + pathSeparator());
    EXPECT_EQ(programDirOf("kivo"), std::string(1, pathSeparator()));
}

TEST(HalfLargerSide, TruncatesTheLargerSide) {
    EXPECT_EQ(halfLargerSide({280, 280}), 140);
    EXPECT_EQ(halfLargerSide({300, 200}), 150);
    EXPECT_EQ(halfLargerSide({200, 301}), 150);
    EXPECT_EQ(halfLargerSide({1, 1}), 0);
}

using Program = test::Program<>;

TEST(FormCreate, WithoutSettingsShowsTheDefaultPictureInTheDefaultWindow) {
    Program program;
    program.start();
    const KivoState& s = program.form.state;
    EXPECT_EQ(s.ProgramDir, program.dir.dir());
    EXPECT_EQ(s.ImagePath, program.image("1.bmp"));
    EXPECT_EQ(s.Vid, 2);
    EXPECT_EQ(s.Flpv, 0);
    EXPECT_EQ(s.ScreenWidth, 1280);
    EXPECT_EQ(s.ScreenHeight, 1024);
    EXPECT_EQ(s.Inset, 140);
    EXPECT_EQ(s.InsetMax, 140);
    EXPECT_EQ(s.Running, 0);
    EXPECT_EQ(s.Changed, 0);
    EXPECT_EQ(program.desktop.window, (WindowBounds{10, 20, 280, 279}));
    EXPECT_EQ(program.desktop.picturePath, s.ImagePath);
    EXPECT_EQ(program.desktop.panel, (Point{100, 95}));
    EXPECT_EQ(program.texts(), std::vector<std::string>{});
}

// The inset follows the picture, the larger of its sides, all the same.
TEST(FormCreate, SettingsGiveTheWindowItsPlaceAndSizeNotThePictures) {
    Program program;
    writeFile(program.image("1.bmp"), bmp24(300, 200));
    program.writeSettings("Параметры окон и опций Kivo\r\nImage=" + program.image("1.bmp") +
                          "\r\nFormkivo.left=50\r\nFormkivo.top=60\r\n"
                          "Formkivo.width=400\r\nFormkivo.height=300\r\nVid=1\r\nflpv=true\r\n");
    program.start();
    EXPECT_EQ(program.desktop.window, (WindowBounds{50, 60, 400, 300}));
    EXPECT_EQ(program.desktop.picturePath, program.image("1.bmp"));
    EXPECT_EQ(program.desktop.panel, (Point{160, 106}));
    EXPECT_EQ(program.form.state.Vid, 1);
    EXPECT_EQ(program.form.state.Flpv, 1);
    EXPECT_EQ(program.form.state.Inset, 150);
    EXPECT_EQ(program.form.state.InsetMax, 150);
    EXPECT_EQ(program.texts(), std::vector<std::string>{});
}

// The start-up scenarios show where and how large the window opens; this is their case that
// reading stops short of.
TEST(FormCreate, AWindowLeftOffTheScreenByABadNumberStillComesOnIt) {
    Program program;
    program.writeSettings("Formkivo.left=-9000\r\nFormkivo.top=x\r\n");
    program.start();
    EXPECT_EQ(program.desktop.errorBoxes.size(), 1u);
    EXPECT_EQ(program.desktop.window, (WindowBounds{0, 20, 280, 279}));
}

using ScreensChanged = test::FormTest;

TEST_F(ScreensChanged, BringsALostWindowBackUnlessTheUserDragsIt) {
    desktop.window = {1500, 300, 280, 279};
    desktop.screenBoxes = {{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};
    form.ScreensChanged();
    EXPECT_EQ(desktop.window.left, 1500);
    desktop.screenBoxes.pop_back(); // unplugged
    form.state.Dragging = 1;
    form.ScreensChanged();
    EXPECT_EQ(desktop.window.left, 1500);
    form.state.Dragging = 0;
    form.ScreensChanged();
    EXPECT_EQ(desktop.window, (WindowBounds{1000, 300, 280, 279}));
    EXPECT_EQ(form.state.Changed, 0);
}

using ShowDialog = test::FormTest;

TEST_F(ShowDialog, LowersATopmostWindowWhileOpenAndRaisesItAfter) {
    test::raiseThroughATick(form);
    desktop.answers = {ModalResult::OK};
    EXPECT_EQ(form.ShowDialog("?", DialogKind::Confirmation, {ModalResult::OK}), ModalResult::OK);
    EXPECT_EQ(desktop.levelsDuringDialogs, std::vector<WindowLevel>{WindowLevel::Normal});
    EXPECT_EQ(desktop.level, WindowLevel::Topmost);

    TFormKivo normal(desktop);
    desktop.levels.clear();
    normal.ShowNote("note");
    EXPECT_TRUE(desktop.levels.empty());
    EXPECT_EQ(desktop.dialogs.back().title, "kivo");
}

} // namespace
} // namespace kivo
