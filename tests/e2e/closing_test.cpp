#include "files.h"
#include "kivo_test.h"

#include <filesystem>

namespace kivo::e2e {
namespace {

class Closing : public KivoTest {
  protected:
    std::optional<WindowInfo> doubleClickForQuestion() {
        doubleClickPicture();
        return waitForDialog("Confirm");
    }
    // Drags the window to 150, 100 and saves it with OK, which ends the program.
    void moveAndSave() {
        openWindow();
        dragBy(150, 100);
        ASSERT_TRUE(doubleClickForQuestion()) << "a drag did not make closing ask to save";
        x().pressKey("Tab"); // from "&No" to "OK"
        x().pressKey("Return");
        ASSERT_EQ(kivo().waitExit(timeout()), 0);
    }
    // The next start opens there, at the picture's size.
    void startAgain() {
        startKivo();
        const auto again = waitForPaintedMainWindow();
        ASSERT_TRUE(again) << "no main window at the next start";
        EXPECT_EQ(again->geometry, (Rect{150, 100, 280, 280}));
    }
};

TEST_F(Closing, WithNothingChangedADoubleClickEndsAtOnceWithoutSaving) {
    openWindow();
    doubleClickPicture();
    EXPECT_EQ(kivo().waitExit(timeout()), 0);
    EXPECT_FALSE(std::filesystem::exists(folder().settingsFile()));
}

TEST_F(Closing, EnterAtOnceAnswersNoAndNothingIsSaved) {
    openWindow();
    dragBy(40, 30);
    ASSERT_TRUE(doubleClickForQuestion()) << "a drag did not make closing ask to save";
    x().pressKey("Return"); // "&No", the leftmost button, has the focus
    EXPECT_EQ(kivo().waitExit(timeout()), 0);
    EXPECT_FALSE(std::filesystem::exists(folder().settingsFile()));
}

TEST_F(Closing, OkWritesTheEightLinesAndTheNextStartComesBackThereAtThePicturesSize) {
    moveAndSave();

    // The face's code page, CR LF, and the picture's path as the program knows it.
    EXPECT_EQ(readFile(folder().settingsFile()),
              folder().settingsBytes({"Параметры окон и опций Kivo",
                                      "Image=" + face().nativePath(folder().defaultPicture()),
                                      "Formkivo.left=150", "Formkivo.top=100", "Formkivo.width=280",
                                      "Formkivo.height=280", "Vid=2", "flpv=false"}));

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
    EXPECT_TRUE(
        x().windowsTitled(face().title(), [](const WindowInfo& w) { return w.decorated; }).empty())
        << "an error box at the next start";
}

} // namespace
} // namespace kivo::e2e
