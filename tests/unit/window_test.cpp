#include "core/paths.h"
#include "core/window/display_scale.h"
#include "core/window/form_kivo.h"
#include "core/window/message_dialog.h"
#include "core/window/on_screen.h"
#include "fake_desktop.h"
#include "program.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <climits>

namespace kivo {
namespace {

using test::bmp24;
using test::writeFile;

// "/" separates on every system; a backslash only where it is the separator, and elsewhere is
// part of a file name, for the title as for the folder.
TEST(ExecutablePath, GivesTheTitleFoldedUpToTheFirstDotAndTheFolderEndingInOneSeparator) {
    EXPECT_EQ(applicationTitleFor(std::string("Prog") + pathSeparator() + "KIVO.EXE"), "Kivo");
    EXPECT_EQ(applicationTitleFor("/usr/bin/my.tool.exe"), "my");
    EXPECT_EQ(applicationTitleFor("/opt/kivo/kivo"), "kivo");
    EXPECT_EQ(applicationTitleFor("/opt/Kivo/KiVo"), "Kivo");
    // Cyrillic capitals fold too (the names are UTF-8 inside the program on every face).
    EXPECT_EQ(applicationTitleFor("/opt/КИВО.EXE"), "Киво");
    EXPECT_EQ(applicationTitleFor("/opt/ЁЛКА-ЇЖАК-ҐАНОК.exe"), "Ёлка-їжак-ґанок");
    EXPECT_EQ(applicationTitleFor("/opt/Kivo-ДЕМО"), "Kivo-демо");
    const std::string folder = std::string("kivo") + pathSeparator() + "bin";
    EXPECT_EQ(programDirOf(folder + pathSeparator() + "kivo"), folder + pathSeparator());
    EXPECT_EQ(withTrailingSeparator(folder), folder + pathSeparator());
    EXPECT_EQ(withTrailingSeparator(folder + pathSeparator()), folder + pathSeparator());
    EXPECT_EQ(programDirOf("kivo"), std::string(1, pathSeparator()));
    EXPECT_EQ(programDirOf("C:/Prog/KIVO.EXE"), "C:/Prog/");
    EXPECT_EQ(applicationTitleFor("C:\\Prog/KIVO.EXE"), "Kivo");
    const bool backslashSeparates = pathSeparator() == '\\';
    EXPECT_EQ(programDirOf("/opt/my\\tool.x"), backslashSeparates ? "/opt/my\\" : "/opt/");
    EXPECT_EQ(applicationTitleFor("/opt/my\\tool.x"), backslashSeparates ? "tool" : "my\\tool");
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
    program.expectUnchanged();
    const KivoState& s = program.form.state;
    EXPECT_EQ(s.ProgramDir, program.dir.dir());
    EXPECT_EQ(s.Vid, 2);
    EXPECT_EQ(s.Flpv, 0);
    EXPECT_EQ(s.ScreenWidth, 1280);
    EXPECT_EQ(s.ScreenHeight, 1024);
    EXPECT_EQ(s.Inset, 140);
    EXPECT_EQ(s.InsetMax, 140);
    EXPECT_EQ(s.Running, 0);
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

TEST(OnScreen, MovesOnlyAWindowNoScreenShowsEnoughOfAndKeepsASavedSizeInBounds) {
    const Box primary{0, 0, 1280, 1024};
    const std::vector<Box> one{primary};
    const std::vector<Box> two{primary, {1280, 0, 3200, 1080}};
    const struct {
        const char* what;
        WindowBounds window;
        std::vector<Box> screens;
        std::optional<Point> expected;
    } cases[] = {
        {"wholly on the screen", {100, 100, 280, 279}, one, std::nullopt},
        {"partly off, but 40 x 40 still shown", {-100, 50, 280, 279}, one, std::nullopt},
        {"exactly 40 pixels shown", {1240, 984, 280, 279}, one, std::nullopt},
        {"39 pixels wide shown", {1241, 100, 280, 279}, one, Point{1000, 100}},
        {"39 pixels high shown", {100, -240, 280, 279}, one, Point{100, 0}},
        {"far below and right", {5000, 5000, 280, 279}, one, Point{1000, 745}},
        {"far above and left", {-5000, -5000, 280, 279}, one, Point{0, 0}},
        {"shown by the second screen", {2000, 500, 280, 279}, two, std::nullopt},
        {"on a screen that is gone", {2000, 500, 280, 279}, one, Point{1000, 500}},
        {"nearer the second screen", {4000, 200, 280, 279}, two, Point{2920, 200}},
        {"as near to both: the primary",
         {1140, 2000, 280, 279},
         {primary, {1280, 0, 2560, 1024}},
         Point{1000, 745}},
        {"less than 40 on each of two screens", {1250, 100, 60, 279}, two, Point{1220, 100}},
        {"larger than the screen: its top-left on it", {3000, 3000, 2000, 1500}, one, Point{0, 0}},
        {"at the int32 limits", {INT_MAX - 10, INT_MIN + 10, 280, 279}, one, Point{1000, 0}},
        {"no screens known", {5000, 5000, 280, 279}, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rescuedTopLeft(c.window, c.screens), c.expected) << c.what;
    }

    const Size design{280, 279};
    EXPECT_EQ(openingSize({400, 300}, design), (Size{400, 300}));
    EXPECT_EQ(openingSize({100, 100}, design), (Size{100, 100}));
    EXPECT_EQ(openingSize({99, 300}, design), design);
    EXPECT_EQ(openingSize({300, 0}, design), design);
    EXPECT_EQ(openingSize({-5, -5}, design), design);
    EXPECT_EQ(openingSize({2000, 1000}, design), (Size{2000, 1000})) << "larger than the screen";
    EXPECT_EQ(openingSize({100000, 100000}, design), (Size{8192, 8192}));
    EXPECT_EQ(openingSize({40000, 120}, design), (Size{32767, 120}));
}

TEST(DisplayScale, LengthsRoundTripAndEachMonitorKeepsItsCorner) {
    struct Length {
        int logical, dpi, device;
    };
    const Length lengths[] = {{280, 144, 420}, {279, 144, 419}, {279, 120, 349},
                              {280, 192, 560}, {13, 144, 20},   {-7, 144, -11}};
    for (const Length& l : lengths) {
        EXPECT_EQ(toDevicePixels(l.logical, l.dpi), l.device) << l.logical << " at " << l.dpi;
        EXPECT_EQ(toLogicalPixels(l.device, l.dpi), l.logical) << l.device << " at " << l.dpi;
    }
    EXPECT_EQ(toDevicePixels(INT_MAX, 192), INT_MAX) << "held within int";

    const Monitor right{{1920, 0, 4800, 1620}, 144};
    EXPECT_EQ(logicalArea(right), (Box{1920, 0, 3840, 1080}));
    EXPECT_EQ(toDevicePlace({2020, 50}, right), (Point{2070, 75}));
    EXPECT_EQ(toLogicalPlace({2070, 75}, right), (Point{2020, 50}));
    EXPECT_EQ(toDevicePlace({1900, -10}, right), (Point{1890, -15})) << "left of its corner";
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

using R = ModalResult;

TEST(DialogModel, KindsGiveTitlesAndIcons) {
    const struct {
        DialogKind kind;
        const char* title;
        DialogIcon icon;
    } cases[] = {{DialogKind::Error, "Error", DialogIcon::Stop},
                 {DialogKind::Information, "Information", DialogIcon::Information},
                 {DialogKind::Confirmation, "Confirm", DialogIcon::Question},
                 {DialogKind::Warning, "Warning", DialogIcon::Warning},
                 {DialogKind::Plain, "Kivo", DialogIcon::None}};
    for (const auto& c : cases) {
        const DialogModel model = makeDialogModel("x", c.kind, {R::OK}, "Kivo");
        EXPECT_EQ(model.title, c.title);
        EXPECT_EQ(model.icon, c.icon) << c.title;
    }
}

// Whatever the caller's order, the buttons come in a fixed one; the leftmost has the focus, Esc
// gives Cancel when offered, else No, else OK, and the close box always Cancel.
TEST(DialogModel, ButtonsFollowTheFixedOrderAndEnterEscapeAndTheCloseBoxTheirRules) {
    const struct {
        std::vector<R> set;
        std::vector<std::string> captions;
        R enter;
        R escape;
    } cases[] = {
        {{R::OK, R::No}, {"&No", "OK"}, R::No, R::No},
        {{R::Abort, R::OK}, {"OK", "&Abort"}, R::OK, R::OK},
        {{R::All, R::No, R::Yes}, {"&Yes", "&No", "&All"}, R::Yes, R::No},
        {{R::OK}, {"OK"}, R::OK, R::OK},
        {{R::Cancel, R::No, R::OK}, {"&No", "OK", "Cancel"}, R::No, R::Cancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.captions));
        const DialogModel model = makeDialogModel("", DialogKind::Confirmation, c.set, "");
        std::vector<std::string> captions;
        for (const auto& button : model.buttons) {
            captions.push_back(button.caption);
        }
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(model.buttons.at(model.focusIndex).result, c.enter);
        EXPECT_EQ(model.escapeResult, c.escape);
        EXPECT_EQ(model.closeResult, R::Cancel);
    }
}

TEST(DialogModel, MnemonicsInEitherCaseOnlyForButtonsShown) {
    const DialogModel model =
        makeDialogModel("", DialogKind::Confirmation, {R::Yes, R::No, R::All}, "");
    EXPECT_EQ(resultForMnemonic(model, 'n'), R::No);
    EXPECT_EQ(resultForMnemonic(model, 'Y'), R::Yes);
    EXPECT_EQ(resultForMnemonic(model, 'a'), R::All);
    EXPECT_EQ(resultForMnemonic(model, 'o'), std::nullopt);
    const DialogModel noOk = makeDialogModel("", DialogKind::Confirmation, {R::No, R::OK}, "");
    EXPECT_EQ(resultForMnemonic(noOk, 'y'), std::nullopt);
    EXPECT_EQ(resultForMnemonic(noOk, 'O'), std::nullopt);
}

// Line break pairs become single breaks; a long text loses the middle of its longest line.
TEST(DialogText, CutsTheMiddleOfTheLongestLineWithoutSplittingACharacter) {
    EXPECT_EQ(displayText("a\n\rb"), "a\nb");
    EXPECT_EQ(displayText("форму:\n\r\n\rYes"), "форму:\n\nYes");
    EXPECT_EQ(displayText("a\r\nb\rc"), "a\nb\nc");
    const std::string exact(kShownCharacters, 'a');
    const std::string half(kShownCharacters / 2, 'a');
    EXPECT_EQ(shortenedText(exact), exact);
    EXPECT_EQ(shortenedText(exact + "b"), half + "…" + half.substr(2) + "b");
    std::string cyrillic;
    for (std::size_t i = 0; i < kShownCharacters + 5; ++i) {
        cyrillic += "ж";
    }
    EXPECT_EQ(shortenedText(cyrillic), cyrillic.substr(0, kShownCharacters) + "…" +
                                           cyrillic.substr(0, kShownCharacters - 2));
    const DialogModel model =
        makeDialogModel(exact + exact, DialogKind::Plain, {ModalResult::OK}, "kivo");
    EXPECT_EQ(model.text, half + "…" + half.substr(1));
    // The lines around a long path stay whole.
    const std::string path = "/" + std::string(379, 'p');
    const std::string question = shortenedText("Файл картинки:\n\r" + path + "\n\r" + "имеется." +
                                               "\n\r" + "Обновить файл?" + "\n\r");
    EXPECT_TRUE(question.starts_with("Файл картинки:\n\r/ppp"));
    EXPECT_TRUE(question.ends_with("ppp\n\rимеется.\n\rОбновить файл?\n\r")) << question;
}

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersThatSortAfterItAndBreaksLongRuns) {
    EXPECT_EQ(errorBoxText("Bitmap image is not valid"), "Bitmap image is not valid.");
    EXPECT_EQ(errorBoxText("Disk full."), "Disk full.");
    EXPECT_EQ(errorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(errorBoxText("(see above)"), "(see above)");
    EXPECT_EQ(errorBoxText("'x' is not a valid integer value"),
              "'x' is not a valid integer value.");
    EXPECT_EQ(errorBoxText("Файл"), "Файл.");
    const std::string run(kLongestUnbrokenRun, 'p');
    EXPECT_EQ(errorBoxDisplayText("Cannot open file " + run + " x"),
              "Cannot open file " + run + " x");
    EXPECT_EQ(errorBoxDisplayText(run + run + "q"), run + "\n" + run + "\nq");
    EXPECT_EQ(errorBoxDisplayText("ж" + run), "ж" + run.substr(1) + "\np");
}

} // namespace
} // namespace kivo
