#include "files.h"
#include "kivo_test.h"

#include <filesystem>

namespace kivo::e2e {
namespace {

// Where a drag by 150, 100 leaves the window, at the picture's size.
constexpr Rect kSaved{150, 100, 280, 280};

class Closing : public KivoTest {
  protected:
    // Drags the window to 150, 100 and saves it with OK, which ends the program.
    void moveAndSave() {
        openWindow();
        dragBy(150, 100);
        closeAnswering(Answer::Ok);
        ASSERT_EQ(kivo().waitExit(timeout()), 0);
    }
    // The next start opens there, at the picture's size.
    void startAgain() {
        openWindow();
        EXPECT_EQ(window.geometry, kSaved);
    }
};

// With nothing changed a double-click ends the program at once; after a drag, Enter at once
// answers the question with "&No", the leftmost button, which has the focus.
TEST_F(Closing, NothingIsSavedWithNothingChangedOrWhenEnterAnswersAtOnce) {
    openWindow();
    doubleClickPicture();
    EXPECT_EQ(kivo().waitExit(timeout()), 0);
    EXPECT_FALSE(std::filesystem::exists(folder().settingsFile()));

    openWindow();
    dragBy(40, 30);
    closeAnswering(Answer::No);
    EXPECT_EQ(kivo().waitExit(timeout()), 0);
    EXPECT_FALSE(std::filesystem::exists(folder().settingsFile()));
}

TEST_F(Closing, OkWritesTheEightLinesAndTheNextStartComesBackThereAtThePicturesSize) {
    moveAndSave();

    // The face's code page, CR LF, and the picture's path as the program knows it.
    EXPECT_EQ(readFile(folder().settingsFile()),
              folder().settingsBytes(settingsLines(folder().defaultPicture(), kSaved)));

    startAgain();
}

// A folder whose name the settings file's code page cannot write: bytes that are not UTF-8 on
// Linux, a letter that code page 1251 lacks on Windows.
class ClosingInAnOddFolder : public Closing {
    std::string folderLabel() const override { return face().name() == "linux" ? "-\xE9" : "-Wé"; }
};

TEST_F(ClosingInAnOddFolder, OkSavesAPathThatTheNextStartOpens) {
    moveAndSave();
    const std::string saved = readFile(folder().settingsFile());
    EXPECT_EQ(saved.find('?'), std::string::npos) << "a letter was replaced:\n" << saved;

    startAgain();
    EXPECT_FALSE(errorBoxShows()) << "an error box at the next start";
}

} // namespace
} // namespace kivo::e2e
