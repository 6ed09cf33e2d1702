#include "files.h"
#include "kivo_test.h"

#include <filesystem>

namespace kivo::e2e {
namespace {

namespace fs = std::filesystem;

bool isOrange(Rgb c) {
    return c.r > 180 && c.r > c.g + 20 && c.g > c.b + 40;
}

bool isPinkOrBlue(Rgb c) {
    return c.b > c.g + 20;
}

// A picture in two colours, left half and right half, so that it cannot pass for 1.bmp.
Image twoColourPicture(int width, int height) {
    Image picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.set(x, y, x < width / 2 ? Rgb{0xC0, 0x40, 0x20} : Rgb{0x30, 0xA0, 0x30});
        }
    }
    return picture;
}

using StartUp = KivoTest;

TEST_F(StartUp, WithoutSettingsOpensTheDesignedWindowAtTheTopLeftCorner) {
    openWindow();
    EXPECT_EQ(window.geometry, kDesignWindow);
    EXPECT_EQ(x().frameGeometry(window.id), window.geometry) << "the window has a frame";
    EXPECT_EQ(x().shapeRectangles(window.id), std::vector<Rect>{kDesignWindow});
    const Image shot = expectPictureShown(readBmp(folder().defaultPicture()));
    EXPECT_TRUE(isLightGrey(shot.at(1, 1))) << shot.at(1, 1);
}

// The settings name the picture by the path as the face's system writes it, here in a folder
// with a Cyrillic name, in the face's code page.
TEST_F(StartUp, SettingsPlaceAndSizeTheWindowNameItsPictureAndThePanelFollows) {
    const fs::path pictures = folder().root() / "картинки";
    fs::create_directory(pictures);
    const Image picture = twoColourPicture(300, 200);
    writeFile(pictures / "море.bmp", bmpBytes(picture));
    folder().writeSettings(settingsLines(pictures / "море.bmp", {50, 60, 400, 300}));
    openWindow();
    EXPECT_EQ(window.geometry, (Rect{50, 60, 400, 300}));

    const Rect panel{160, 106, 80, 88}; // centred on the window
    const Image shot = expectPictureShown(picture, panel);
    EXPECT_FALSE(errorBoxShows()) << "an error box opened";

    // Beyond the picture the window shows its own background, of the panel's face colour.
    const Rgb background = shot.at(399, 299);
    EXPECT_TRUE(isLightGrey(background)) << background;
    const auto notBackground = [&](int x, int y) { return shot.at(x, y) != background; };
    EXPECT_EQ(boundsOf({300, 0, 100, 300}, notBackground), std::nullopt);
    EXPECT_EQ(boundsOf({0, 200, 400, 100}, notBackground), std::nullopt);
    EXPECT_EQ(shot.at(panel.x + 76, panel.y + 44), background);
}

// The window where the program itself puts it.
class Placement : public KivoTest {
  protected:
    bool withWindowManager() const override { return false; }
};

// A window saved on a screen that is gone comes back on the screen without counting as a change;
// one that the screen still shows enough of opens where it was saved.
TEST_F(Placement, AWindowSavedOffTheScreenOpensOnItAndOnePartlyOnItWhereSaved) {
    folder().writeSettings({"Formkivo.left=5000", "Formkivo.top=5000"});
    const std::string saved = readFile(folder().settingsFile());
    openWindow();
    EXPECT_EQ(window.geometry, (Rect{1000, 745, 280, 279}));
    doubleClickPicture();
    ASSERT_EQ(kivo().waitExit(timeout()), 0) << "closing asked to save";
    EXPECT_EQ(readFile(folder().settingsFile()), saved);

    folder().writeSettings({"Formkivo.left=-100", "Formkivo.top=50"});
    startKivo();
    const auto partly = waitForMainWindow();
    ASSERT_TRUE(partly) << "no main window";
    EXPECT_EQ(partly->geometry, (Rect{-100, 50, 280, 279}));
}

TEST_F(StartUp, ABadNumberIsReportedBeforeTheWindowOpensWhichKeepsTheValuesReadBeforeIt) {
    folder().writeSettings({"Formkivo.left=30", "Formkivo.top=1x2", "Formkivo.width=400"});
    startKivo();
    ASSERT_TRUE(waitForErrorBox()) << "no error box";
    EXPECT_FALSE(mainWindowShows()) << "the main window opened before the error was acknowledged";

    dismissErrorBox();
    // Reading stopped at the bad line: the width after it was never applied.
    EXPECT_EQ(window.geometry, (Rect{30, 0, 280, 279}));
    EXPECT_TRUE(kivo().running());
}

TEST_F(StartUp, AMissingPictureIsReportedAndTheDesignTimePictureShown) {
    folder().writeSettings(
        {"Image=" + face().nativePath(folder().program() / "image" / "gone.bmp")});
    startKivo();
    dismissErrorBox();
    EXPECT_EQ(window.geometry, kDesignWindow);

    const Rect& picture = kDesignWindow;
    const auto neutralBounds = [&](const Image& shot) {
        return boundsOf(picture, [&](int x, int y) { return isNeutral(shot.at(x, y)); });
    };
    // The start-up stopped before centring the panel.
    const Image shot = waitForCapture(window.geometry, [&](const Image& image) {
        return startButtonShows(image) && neutralBounds(image) == kDesignPanel;
    });
    EXPECT_EQ(neutralBounds(shot), kDesignPanel);

    // Pixels of a colour, leaving out the controls.
    const auto count = [&](bool (*colour)(Rgb)) {
        int found = 0;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const bool control = kStartButtonArea.contains(x, y) || kDesignPanel.contains(x, y);
                found += !control && colour(shot.at(x, y)) ? 1 : 0;
            }
        }
        return found;
    };
    EXPECT_GT(count(isGreen), 20000);
    EXPECT_GT(count(isOrange), 5000);
    EXPECT_LT(count(isPinkOrBlue), 100);
}

} // namespace
} // namespace kivo::e2e
