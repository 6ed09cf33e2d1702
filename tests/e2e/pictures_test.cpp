#include "files.h"
#include "jpeg_maker.h"
#include "kivo_test.h"
#include "wait.h"

#include <filesystem>

namespace kivo::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
// Re-centred on the new picture.
constexpr Rect kNewPanel{kWidth / 2 - 40, kHeight / 2 - 44, 80, 88};

// How many pixels of the window show the picture, leaving out the controls over it.
int picturePixelsShown(const Image& shot, const Image& picture) {
    int shown = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!kStartButtonArea.contains(x, y) && !kNewPanel.contains(x, y) &&
                shot.at(x, y) == picture.at(x, y)) {
                ++shown;
            }
        }
    }
    return shown;
}

class Pictures : public KivoTest {
  protected:
    void expectPictureShown(const Rect& area, const Image& picture) {
        x().moveMouse(1000, 900); // a tooltip could cover the picture
        const int expected = kWidth * kHeight - kStartButtonArea.width * kStartButtonArea.height -
                             kNewPanel.width * kNewPanel.height;
        const Image shot = waitForCapture(area, [&](const Image& image) {
            return picturePixelsShown(image, picture) == expected;
        });
        EXPECT_EQ(picturePixelsShown(shot, picture), expected);
        EXPECT_TRUE(panelShows(shot, kNewPanel)) << "the panel is not centred on the new picture";
    }
};

TEST_F(Pictures, AChosenJpegIsConvertedImportedSavedAndShownAgainAtTheNextStart) {
    const fs::path photos = folder().root() / "photos";
    fs::create_directory(photos);
    const fs::path jpeg = photos / "meadow.jpg";
    writeFile(jpeg, test::makeJpeg(kWidth, kHeight));

    openWindow();
    const auto dialog = choosePicture(face().nativePath(jpeg));
    ASSERT_TRUE(dialog) << "no file dialog";
    EXPECT_TRUE(x().waitUntilGone(dialog->id, timeout())) << "the file dialog stayed open";

    const Rect resized{0, 0, kWidth, kHeight};
    ASSERT_TRUE(waitUntil(timeout(), [&] { return x().geometry(window.id) == resized; }))
        << "the window is " << x().geometry(window.id);
    const fs::path converted = photos / "meadow.bmp";
    const fs::path imported = folder().program() / "image" / "meadow.bmp";
    ASSERT_TRUE(fs::exists(converted)) << "no conversion beside the JPEG";
    ASSERT_TRUE(fs::exists(imported)) << "the conversion was not copied into the picture folder";
    EXPECT_EQ(readFile(imported), readFile(converted));
    const Image picture = readBmp(imported);
    ASSERT_EQ(picture.width(), kWidth);
    ASSERT_EQ(picture.height(), kHeight);
    expectPictureShown(resized, picture);

    closeAnswering(Answer::Ok);
    ASSERT_EQ(kivo().waitExit(timeout()), 0);
    const std::string settings = readFile(folder().settingsFile());
    EXPECT_NE(settings.find("\r\nImage=" + face().nativePath(imported) + "\r\n"), std::string::npos)
        << settings;
    EXPECT_NE(settings.find("\r\nFormkivo.width=320\r\nFormkivo.height=240\r\n"), std::string::npos)
        << settings;

    openWindow();
    EXPECT_EQ(window.geometry, resized);
    expectPictureShown(resized, picture);
}

// With no picture recorded, turning down a picture larger than the screen falls back on the
// picture folder's start.bmp, which the program folder ships.
TEST_F(Pictures, AbortingATooLargePictureWithNoneRecordedBringsTheStartPicture) {
    const fs::path wide = folder().root() / "wide.bmp";
    writeFile(wide, bmpBytes(Image(1300, 120)));
    folder().writeSettings({"Image="});
    startKivo();
    dismissErrorBox(); // the empty path is no picture

    const Rect designPanel{102, 96, 80, 88}; // the start-up stopped before centring it
    ASSERT_TRUE(choosePicture(face().nativePath(wide), designPanel)) << "no file dialog";
    const auto question = waitForDialog("Information");
    ASSERT_TRUE(question) << "no too-large question";
    x().pressKey("a"); // the mnemonic of "&Abort"

    const auto dialog = waitForDialog("Выберите файл картинки");
    ASSERT_TRUE(dialog) << "the file dialog did not open again";
    EXPECT_FALSE(errorBoxShows()) << "an error box opened: no start.bmp";
    ASSERT_TRUE(answer(*dialog, "Escape"));
    x().moveMouse(1000, 900); // a tooltip could cover the picture
    const Image start = readBmp(folder().program() / "image" / "start.bmp");
    const Image shot = waitForCapture(window.geometry, [&](const Image& image) {
        return differenceFromPicture(image, start) == designPanel;
    });
    EXPECT_EQ(differenceFromPicture(shot, start), designPanel) << "start.bmp is not shown";
    EXPECT_TRUE(kivo().running());
}

} // namespace
} // namespace kivo::e2e
