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
    // Dragged, saved with OK, and started again where it was saved.
    void expectOkToSaveAndTheNextStartToComeBack();
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

void Closing::expectOkToSaveAndTheNextStartToComeBack() {
    openWindow();
    dragBy(150, 100);
    ASSERT_TRUE(doubleClickForQuestion()) << "a drag did not make closing ask to save";
    x().pressKey("Tab"); // from "&No" to "OK"
    x().pressKey("Return");
    ASSERT_EQ(kivo().waitExit(timeout()), 0);

    // The face's code page, CR LF, and the picture's path as the program knows it.
    EXPECT_EQ(readFile(folder().settingsFile()),
              folder().settingsBytes({"Параметры окон и опций Kivo",
                                      "Image=" + face().nativePath(folder().defaultPicture()),
                                      "Formkivo.left=150", "Formkivo.top=100", "Formkivo.width=280",
                                      "Formkivo.height=280", "Vid=2", "flpv=false"}));

    startKivo();
    const auto again = waitForMainWindow();
    ASSERT_TRUE(again) << "no main window at the next start";
    EXPECT_EQ(again->geometry, (Rect{150, 100, 280, 280}));
}

TEST_F(Closing, OkWritesTheEightLinesAndTheNextStartComesBackThereAtThePicturesSize) {
    expectOkToSaveAndTheNextStartToComeBack();
}

// A Linux folder name is bytes, which need not be UTF-8.
class ClosingInAFolderNotUtf8 : public Closing {
    std::string folderLabel() const override { return face().name() == "linux" ? "-\xE9" : ""; }
};

TEST_F(ClosingInAFolderNotUtf8, OkSavesAndTheNextStartComesBack) {
    if (face().name() != "linux") {
        GTEST_SKIP() << "Windows names files in UTF-16";
    }
    expectOkToSaveAndTheNextStartToComeBack();
}

} // namespace
} // namespace kivo::e2e
