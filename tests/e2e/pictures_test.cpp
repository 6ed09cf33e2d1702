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

using Pictures = KivoTest;

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
    expectPictureShown(picture, kNewPanel);

    closeAnswering(Answer::Ok);
    ASSERT_EQ(kivo().waitExit(timeout()), 0);
    const std::string settings = readFile(folder().settingsFile());
    EXPECT_NE(settings.find("\r\nImage=" + face().nativePath(imported) + "\r\n"), std::string::npos)
        << settings;
    EXPECT_NE(settings.find("\r\nFormkivo.width=320\r\nFormkivo.height=240\r\n"), std::string::npos)
        << settings;

    openWindow();
    EXPECT_EQ(window.geometry, resized);
    expectPictureShown(picture, kNewPanel);
}

// With no picture recorded, turning down a picture larger than the screen falls back on the
// picture folder's start.bmp, which the program folder ships.
TEST_F(Pictures, AbortingATooLargePictureWithNoneRecordedBringsTheStartPicture) {
    const fs::path wide = folder().root() / "wide.bmp";
    writeFile(wide, bmpBytes(Image(1300, 120)));
    folder().writeSettings({"Image="});
    startKivo();
    dismissErrorBox(); // the empty path is no picture

    // The start-up stopped before centring the panel.
    ASSERT_TRUE(choosePicture(face().nativePath(wide), kDesignPanel)) << "no file dialog";
    const auto question = waitForDialog("Information");
    ASSERT_TRUE(question) << "no too-large question";
    x().pressKey("a"); // the mnemonic of "&Abort"

    const auto dialog = waitForDialog("Выберите файл картинки");
    ASSERT_TRUE(dialog) << "the file dialog did not open again";
    EXPECT_FALSE(errorBoxShows()) << "an error box opened: no start.bmp";
    ASSERT_TRUE(answer(*dialog, "Escape"));
    expectPictureShown(readBmp(folder().program() / "image" / "start.bmp"), kDesignPanel);
    EXPECT_TRUE(kivo().running());
}

} // namespace
} // namespace kivo::e2e
