#include "face.h"
#include "files.h"
#include "jpeg_maker.h"
#include "wait.h"
#include "wine_kivo_test.h"

#include <filesystem>

namespace kivo::e2e {
namespace {

namespace fs = std::filesystem;

constexpr Rect kPanel{100, 95, 80, 88}; // centred on the 280 x 279 window
constexpr int kWidth = 320;
constexpr int kHeight = 240;
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

class WinePictures : public WineKivoTest {};

TEST_F(WinePictures, AJpegTypedIntoTheFileDialogIsConvertedImportedAndShownAtItsSize) {
    const fs::path photos = folder.root() / "photos";
    fs::create_directory(photos);
    const fs::path jpeg = photos / "meadow.jpg";
    writeFile(jpeg, test::makeJpeg(kWidth, kHeight));

    startKivo();
    const auto window = waitForPaintedMainWindow();
    ASSERT_TRUE(window) << "no main window";
    x().click(kPanel.x + 4 + 35, kPanel.y + 20 + 10); // "Картинка"
    const auto dialog = waitForDialog("Выберите файл картинки");
    ASSERT_TRUE(dialog) << "no file dialog";
    // The name box has the focus, its pre-filled patterns selected.
    x().typeText(windowsPath(jpeg));
    x().pressKey("Return");
    EXPECT_TRUE(x().waitUntilGone(dialog->id, kAppearTimeout)) << "the file dialog stayed open";

    const Rect resized{0, 0, kWidth, kHeight};
    ASSERT_TRUE(waitUntil(kAppearTimeout, [&] { return x().geometry(window->id) == resized; }))
        << "the window is " << x().geometry(window->id);
    const fs::path converted = photos / "meadow.bmp";
    const fs::path imported = folder.program() / "image" / "meadow.bmp";
    ASSERT_TRUE(fs::exists(converted)) << "no conversion beside the JPEG";
    ASSERT_TRUE(fs::exists(imported)) << "the conversion was not copied into image\\";
    EXPECT_EQ(readFile(imported), readFile(converted));

    x().moveMouse(1000, 900); // a tooltip could cover the picture
    const Image picture = readBmp(imported);
    ASSERT_EQ(picture.width(), kWidth);
    ASSERT_EQ(picture.height(), kHeight);
    const int expected = kWidth * kHeight - kStartButtonArea.width * kStartButtonArea.height -
                         kNewPanel.width * kNewPanel.height;
    const Image shot = waitForCapture(resized, [&](const Image& image) {
        return picturePixelsShown(image, picture) == expected;
    });
    EXPECT_EQ(picturePixelsShown(shot, picture), expected);
    EXPECT_TRUE(panelShows(shot, kNewPanel)) << "the panel is not centred on the new picture";
}

} // namespace
} // namespace kivo::e2e
