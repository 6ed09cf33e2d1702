#include "core/window/form_kivo.h"
#include "fake_desktop.h"
#include "jpeg_maker.h"
#include "program.h"
#include "system_texts.h"
#include "temp_files.h"

#include <jerror.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kivo {
namespace {

using namespace test;

// A started program, showing image/1.bmp.
struct Program : test::Program<> {
    Program() { start(); }
};

TEST(SpeedButton1Click, OpensThePictureFolderAndCancellingChangesNothing) {
    Program program;
    raiseThroughATick(program.form);
    program.choose({});
    ASSERT_EQ(program.desktop.openDialogs.size(), 1u);
    const OpenDialogModel& dialog = program.desktop.openDialogs[0];
    EXPECT_EQ(dialog.title, "Выберите файл картинки");
    EXPECT_EQ(dialog.initialFolder, program.image(""));
    EXPECT_EQ(dialog.fileName, program.image("*.bmp;*.jpg;*.jpeg"));
    EXPECT_EQ(dialog.filterLabel, "Файлы картинок *.bmp;*.jpg;*.jpeg");
    EXPECT_EQ(dialog.filterPatterns, "*.bmp;*.jpg;*.jpeg");
    EXPECT_EQ(program.desktop.levelsDuringOpenDialogs,
              std::vector<WindowLevel>{WindowLevel::Normal});
    EXPECT_EQ(program.desktop.level, WindowLevel::Topmost);
    EXPECT_EQ(program.form.state.ImagePath, program.image("1.bmp"));
    EXPECT_EQ(program.form.state.Changed, 0);
}

TEST(SpeedButton1Click, APictureInThePictureFolderIsTakenFromThereAndSizesTheWindow) {
    Program program;
    writeFile(program.image("sea.bmp"), bmp24(300, 200));
    // Another form of the same file's path: still no question and no copy.
    program.choose({program.dir.dir() + "photos/../image/sea.bmp"});
    EXPECT_TRUE(program.desktop.dialogs.empty());
    EXPECT_EQ(program.desktop.openDialogs.size(), 1u);
    EXPECT_EQ(program.form.state.ImagePath, program.image("sea.bmp"));
    EXPECT_EQ(program.form.state.Changed, 1);
    EXPECT_EQ(program.form.state.Inset, 150);
    EXPECT_EQ(program.form.state.InsetMax, 150);
    EXPECT_TRUE(program.desktop.pictureVisible);
    EXPECT_EQ(program.desktop.window, (WindowBounds{10, 20, 300, 200}));
    EXPECT_EQ(program.desktop.panel, (Point{110, 56}));
    EXPECT_EQ(program.desktop.level, WindowLevel::Topmost);
}

TEST(SpeedButton1Click, AJpegIsConvertedBesideItselfAndCopiedIn) {
    Program program;
    writeFile(program.photo("sea.jpg"), makeJpeg(120, 110));
    program.choose({program.photo("sea.jpg")});
    EXPECT_TRUE(program.desktop.dialogs.empty());
    ASSERT_TRUE(std::filesystem::exists(program.photo("sea.bmp")));
    EXPECT_EQ(readFile(program.image("sea.bmp")), readFile(program.photo("sea.bmp")));
    EXPECT_EQ(program.form.state.ImagePath, program.image("sea.bmp"));
    EXPECT_EQ(program.desktop.picture, (Size{120, 110}));
}

TEST(SpeedButton1Click, AnExistingCopyIsReplacedOnlyOnOk) {
    for (const ModalResult answer : {ModalResult::OK, ModalResult::No, ModalResult::Cancel}) {
        Program program;
        writeFile(program.image("sea.bmp"), bmp24(150, 150, 1, 2, 3));
        writeFile(program.photo("sea.bmp"), bmp24(160, 150, 4, 5, 6));
        program.desktop.answers = {answer};
        program.choose({program.photo("sea.bmp")});
        ASSERT_EQ(program.texts().size(), 1u);
        EXPECT_EQ(program.texts()[0], "Confirm: Файл картинки:\n" + program.image("sea.bmp") +
                                          "\nимеется.\nОбновить файл?\n");
        EXPECT_EQ(program.desktop.dialogs[0].buttons.front().result, ModalResult::No);
        EXPECT_EQ(readFile(program.image("sea.bmp")),
                  answer == ModalResult::OK ? bmp24(160, 150, 4, 5, 6) : bmp24(150, 150, 1, 2, 3));
        EXPECT_EQ(program.form.state.ImagePath, program.image("sea.bmp"));
        EXPECT_TRUE(std::filesystem::exists(program.photo("sea.bmp")));
    }
}

// A picture that cannot be loaded ends in the error box, its copy kept; a failed copy is reported.
// Either ends the handler without asking again, and leaves the program as it was.
TEST(SpeedButton1Click, AFailedCopyOrAPictureThatCannotBeLoadedEndsTheHandler) {
    Program program;
    writeFile(program.photo("fake.bmp"), "not a bitmap");
    writeFile(program.photo("other.bmp"), bmp24(150, 150));
    program.choose({program.photo("fake.bmp")});
    EXPECT_TRUE(std::filesystem::exists(program.image("fake.bmp")));
    std::filesystem::remove_all(program.dir.path() / "image");
    program.choose({program.photo("other.bmp")});
    EXPECT_EQ(program.texts(),
              (std::vector<std::string>{copyFailure(missingFolderCopyError()),
                                        "error box kivo: Bitmap image is not valid."}));
    EXPECT_EQ(program.desktop.openDialogs.size(), 2u);
    program.expectUnchanged();
}

// A file whose conversion fails, or a picture under 100 x 100, is refused and the dialog opens
// again: the previous picture comes back, and the next choice is taken.
TEST(SpeedButton1Click, ARefusedChoiceOpensTheDialogAgainAndThePreviousPictureComesBack) {
    Program program;
    writeFile(program.photo("broken.jpg"), "not a picture");
    writeFile(program.photo("narrow.bmp"), bmp24(99, 300));
    writeFile(program.photo("low.bmp"), bmp24(300, 99));
    writeFile(program.photo("least.bmp"), bmp24(100, 100));
    program.choose(
        {program.photo("broken.jpg"), program.photo("narrow.bmp"), program.photo("low.bmp")});
    EXPECT_EQ(program.texts(), (std::vector<std::string>{
                                   conversionFailure("JPEG error #" + std::to_string(JERR_NO_SOI),
                                                     program.photo("broken.jpg")),
                                   tooSmall("99x300"), tooSmall("300x99")}));
    EXPECT_EQ(program.desktop.openDialogs.size(), 4u);
    EXPECT_TRUE(std::filesystem::exists(program.image("narrow.bmp")));
    program.expectUnchanged();

    program.choose({program.photo("least.bmp")});
    EXPECT_EQ(program.form.state.ImagePath, program.image("least.bmp"));
    EXPECT_EQ(program.texts().size(), 3u);
}

TEST(SpeedButton1Click, ATooLargePictureIsTakenUnlessTheAnswerIsAbort) {
    const std::string question =
        "Information: Размер, выбранной картинки, превышает размер Вашего дисплея!\nВы выбрали "
        "картинку размером: 400x200\nРазмер Вашего дисплея 320x240\nПредлагаю выбрать другую "
        "картинку.\nОднако, Вы можете:\nПринять выбранную - OK\nВыбрать другую - Abort\n";
    // Esc gives OK for these buttons, the close box Cancel.
    for (const ModalResult answer : {ModalResult::OK, ModalResult::Cancel}) {
        Program program;
        program.form.state.ScreenWidth = 320;
        program.form.state.ScreenHeight = 240;
        writeFile(program.photo("wide.bmp"), bmp24(400, 200));
        program.desktop.answers = {answer};
        program.choose({program.photo("wide.bmp")});
        EXPECT_EQ(program.texts(), std::vector<std::string>{question});
        EXPECT_EQ(program.form.state.ImagePath, program.image("wide.bmp"));
        EXPECT_EQ(program.desktop.window, (WindowBounds{10, 20, 400, 200}));
    }
}

TEST(SpeedButton1Click, AbortBringsThePreviousPictureBackAndAsksAgain) {
    Program program;
    program.form.state.ScreenWidth = 320;
    program.form.state.ScreenHeight = 240;
    writeFile(program.photo("wide.bmp"), bmp24(400, 200));
    writeFile(program.photo("old.jpg"), makeJpeg(130, 120));
    writeFile(program.image("start.bmp"), bmp24(140, 140));

    // A previous picture that is a JPEG is converted again.
    program.form.state.ImagePath = program.photo("old.jpg");
    program.desktop.answers = {ModalResult::Abort};
    program.choose({program.photo("wide.bmp")});
    EXPECT_EQ(program.desktop.openDialogs.size(), 2u);
    EXPECT_EQ(program.form.state.ImagePath, program.photo("old.bmp"));
    EXPECT_EQ(program.desktop.picturePath, program.photo("old.bmp"));

    program.form.state.ImagePath.clear();
    program.desktop.answers = {ModalResult::Abort};
    program.choose({program.image("wide.bmp")});
    EXPECT_EQ(program.desktop.picturePath, program.image("start.bmp"));
    EXPECT_EQ(program.form.state.ImagePath, "");
    EXPECT_EQ(program.form.state.Changed, 0);
    EXPECT_EQ(program.desktop.level, WindowLevel::Normal);
}

} // namespace
} // namespace kivo
