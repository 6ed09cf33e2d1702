#include "face.h"
#include "files.h"
#include "wait.h"
#include "wine_kivo_test.h"

#include <filesystem>
#include <functional>

namespace kivo::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kHeader = toCp1251("Параметры окон и опций Kivo");

// A 24-bit BMP in two colours, left half and right half, so a test can tell it from 1.bmp.
std::string twoColourBmp(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    std::string out = "BM";
    const auto put = [&out](unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put(54 + stride * height, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(width, 4);
    put(height, 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(stride * height, 4);
    put(0, 16);
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            row += x < width / 2 ? std::string("\x20\x40\xC0", 3) : std::string("\x30\xA0\x30", 3);
        }
        row.resize(stride, '\0');
        out += row;
    }
    return out;
}

int pixelsLike(const Image& shot, const Image& picture, const std::function<bool(int, int)>& skip) {
    int same = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!skip(x, y) && shot.at(x, y) == picture.at(x, y)) {
                ++same;
            }
        }
    }
    return same;
}

class WineStartUp : public WineKivoTest {};

TEST_F(WineStartUp, WithoutSettingsTheWholeWindowOpensAtTheTopLeftCornerWithItsPanelCentred) {
    startKivo();
    const auto window = waitForMainWindow();
    ASSERT_TRUE(window) << "no main window";
    EXPECT_EQ(window->geometry, (Rect{0, 0, 280, 279}));
    EXPECT_EQ(x().shapeRectangles(window->id), (std::vector<Rect>{{0, 0, 280, 279}}));

    const Rect panel{100, 95, 80, 88};
    const Image picture = readBmp(folder.defaultPicture());
    const auto shown = [&](const Image& shot) {
        return pixelsLike(shot, picture, [&](int x, int y) {
            return kStartButtonArea.contains(x, y) || panel.contains(x, y) || y >= 279;
        });
    };
    const int expected = 280 * 279 - 28 * 28 - 80 * 88;
    // The controls paint one by one: wait for all of them.
    const Image shot = waitForCapture(window->geometry, [&](const Image& image) {
        return startButtonShows(image) && panelShows(image, panel) && shown(image) == expected;
    });
    EXPECT_TRUE(startButtonShows(shot));
    EXPECT_TRUE(panelShows(shot, panel));
    EXPECT_EQ(shown(shot), expected) << "1.bmp is not what the window shows";
}

// The settings file as a Russian Windows has it: code page 1251, CR LF, a Windows path, here to
// a picture in a Cyrillic folder.
TEST_F(WineStartUp, ASettingsFilePlacesAndSizesTheWindowAndNamesItsPictureByAWindowsPath) {
    const fs::path pictures = folder.root() / "картинки";
    fs::create_directory(pictures);
    writeFile(pictures / "море.bmp", twoColourBmp(300, 200));
    folder.writeSettings({kHeader, toCp1251("Image=" + windowsPath(pictures / "море.bmp")),
                          "Formkivo.left=50", "Formkivo.top=60", "Formkivo.width=400",
                          "Formkivo.height=300", "Vid=2", "flpv=false"});
    startKivo();
    const auto window = waitForMainWindow();
    ASSERT_TRUE(window) << "no main window";
    EXPECT_EQ(window->geometry, (Rect{50, 60, 400, 300}));
    EXPECT_TRUE(x().windowsTitled("kivo", [](const WindowInfo& w) { return w.dialog; }).empty())
        << "an error box opened";

    const Rect panel{160, 106, 80, 88};
    const Image picture = readBmp(pictures / "море.bmp");
    const auto shown = [&](const Image& shot) {
        return pixelsLike(shot, picture, [&](int x, int y) {
            return kStartButtonArea.contains(x, y) || panel.contains(x, y);
        });
    };
    const int expected = 300 * 200 - 28 * 28 - 80 * 88;
    const Image shot = waitForCapture(window->geometry, [&](const Image& image) {
        return startButtonShows(image) && panelShows(image, panel) && shown(image) == expected;
    });
    EXPECT_TRUE(panelShows(shot, panel)) << "the panel is not centred on 400 x 300";
    EXPECT_EQ(shown(shot), expected) << "the picture the settings name is not shown";
}

TEST_F(WineStartUp, ABadNumberIsReportedBeforeTheWindowOpensWhichKeepsTheValuesReadBeforeIt) {
    folder.writeSettings({kHeader, "Formkivo.left=30", "Formkivo.top=1x2", "Formkivo.width=400"});
    startKivo();
    const auto box = x().waitForWindow("kivo", kAppearTimeout);
    ASSERT_TRUE(box) << "no error box";
    const Rect mainWindow{30, 0, 280, 279};
    EXPECT_NE(box->geometry, mainWindow) << "the main window opened instead of an error box";
    EXPECT_EQ(x().windowsTitled("kivo").size(), 1u) << "the main window opened before the error";
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return x().hasInputFocus(box->id); }))
        << "the error box never took the keyboard focus";
    x().pressKey("Return");
    EXPECT_TRUE(x().waitUntilGone(box->id, kAppearTimeout)) << "Enter left the error box open";

    const auto window = waitForMainWindow();
    ASSERT_TRUE(window) << "no main window after the error box";
    // Reading stopped at the bad line: the width after it was never applied.
    EXPECT_EQ(window->geometry, mainWindow);
    EXPECT_TRUE(kivo().running());
}

} // namespace
} // namespace kivo::e2e
