#include "kivo_test.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace kivo::e2e {
namespace {

constexpr Rect kStartButton{0, 0, 28, 28};
constexpr Rect kDesignPanel{102, 96, 80, 88};
constexpr int kPictureSide = 280;

bool isGreen(Rgb c) {
    return c.g > c.r + 40 && c.g > c.b + 40;
}

bool isOrange(Rgb c) {
    return c.r > 180 && c.r > c.g + 20 && c.g > c.b + 40;
}

bool isPinkOrBlue(Rgb c) {
    return c.b > c.g + 20;
}

// The toolkit draws panels and backgrounds in pure greys; the flowers have none.
bool isNeutral(Rgb c) {
    return c.r == c.g && c.g == c.b;
}

bool isLightGrey(Rgb c) {
    return isNeutral(c) && c.r >= 200;
}

// The smallest rectangle holding every matching pixel of the area; the start button's square
// is left out, since it lies over the picture too.
std::optional<Rect> boundsOf(const Rect& area, const std::function<bool(int, int)>& match) {
    int left = area.x + area.width;
    int top = area.y + area.height;
    int right = -1;
    int bottom = -1;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            if (!kStartButton.contains(x, y) && match(x, y)) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        return std::nullopt;
    }
    return Rect{left, top, right - left + 1, bottom - top + 1};
}

// Where the window differs from the picture file drawn at its top-left corner.
std::optional<Rect> differenceFromPicture(const Image& shot, const Image& picture) {
    const Rect area{0, 0, std::min(shot.width(), picture.width()),
                    std::min(shot.height(), picture.height())};
    return boundsOf(area, [&](int x, int y) { return shot.at(x, y) != picture.at(x, y); });
}

// The button's disc is green around a white arrow in its middle.
bool startButtonDrawn(const Image& shot) {
    return isGreen(shot.at(6, 14)) && isGreen(shot.at(14, 22));
}

// The panel's face shows in its margins, beside and below its buttons.
void expectPanelFace(const Image& shot, const Rect& panel) {
    for (const auto& [x, y] : {std::pair{76, 44}, std::pair{40, 84}}) {
        const Rgb face = shot.at(panel.x + x, panel.y + y);
        EXPECT_TRUE(isLightGrey(face)) << "panel face at " << x << "," << y << ": " << face;
    }
}

class StartUp : public KivoTest {
  protected:
    std::string header() const { return "Параметры окон и опций Kivo"; }

    // Closes the error box with Enter and returns the main window that opens after it.
    std::optional<WindowInfo> dismissErrorBox() {
        const auto box = waitForErrorBox();
        if (!box) {
            ADD_FAILURE() << "no error box";
            return std::nullopt;
        }
        x().pressKey("Return");
        EXPECT_TRUE(x().waitUntilGone(box->id, kAppearTimeout)) << "Enter left the error box open";
        return waitForMainWindow();
    }
};

TEST_F(StartUp, WithoutSettingsOpensTheDesignedWindowAtTheTopLeftCorner) {
    startDisplay(/*withWindowManager=*/true);
    startKivo();
    const auto window = waitForMainWindow();
    ASSERT_TRUE(window) << "no main window";

    EXPECT_EQ(window->geometry, (Rect{0, 0, 280, 279}));
    EXPECT_EQ(x().frameGeometry(window->id), window->geometry) << "the window has a frame";
    EXPECT_EQ(x().shapeRectangles(window->id), (std::vector<Rect>{{0, 0, 280, 279}}));

    const Image shot = waitForCapture(window->geometry, startButtonDrawn);
    EXPECT_TRUE(startButtonDrawn(shot)) << shot.at(6, 14) << " " << shot.at(14, 22);
    EXPECT_TRUE(isLightGrey(shot.at(1, 1))) << shot.at(1, 1);

    const Rect panel{100, 95, 80, 88};
    EXPECT_EQ(differenceFromPicture(shot, readBmp(folder.defaultPicture())), panel);
    expectPanelFace(shot, panel);
}

TEST_F(StartUp, SettingsPlaceAndSizeTheWindowAndThePanelFollows) {
    folder.writeSettings({header(), "Image=" + folder.defaultPicture().string(), "Formkivo.left=50",
                          "Formkivo.top=60", "Formkivo.width=400", "Formkivo.height=300", "Vid=2",
                          "flpv=false"});
    startKivo();
    const auto window = waitForMainWindow();
    ASSERT_TRUE(window) << "no main window";

    EXPECT_EQ(window->geometry, (Rect{50, 60, 400, 300}));

    const Image shot = waitForCapture(window->geometry, startButtonDrawn);
    const Rect panel{160, 106, 80, 88};
    EXPECT_EQ(differenceFromPicture(shot, readBmp(folder.defaultPicture())), panel);
    expectPanelFace(shot, panel);

    // Beyond the picture the window shows its own background, of the panel's face colour.
    const Rgb background = shot.at(399, 299);
    EXPECT_TRUE(isLightGrey(background)) << background;
    const auto notBackground = [&](int x, int y) { return shot.at(x, y) != background; };
    EXPECT_EQ(boundsOf({kPictureSide, 0, 400 - kPictureSide, 300}, notBackground), std::nullopt);
    EXPECT_EQ(boundsOf({0, kPictureSide, 400, 300 - kPictureSide}, notBackground), std::nullopt);
    EXPECT_EQ(shot.at(panel.x + 76, panel.y + 44), background);
}

TEST_F(StartUp, ABadNumberIsReportedAndKeepsTheValuesReadBeforeIt) {
    folder.writeSettings({header(), "Formkivo.left=30", "Formkivo.top=1x2", "Formkivo.width=400"});
    startKivo();
    ASSERT_TRUE(waitForErrorBox()) << "no error box";
    EXPECT_TRUE(x().windowsTitled(kTitle, [](const WindowInfo& w) { return !w.dialog; }).empty())
        << "the main window opened before the error was acknowledged";

    const auto window = dismissErrorBox();
    ASSERT_TRUE(window) << "no main window after the error box";
    // Reading stopped at the bad line: the width after it was never applied.
    EXPECT_EQ(window->geometry, (Rect{30, 0, 280, 279}));
    EXPECT_TRUE(kivo().running());
}

TEST_F(StartUp, AMissingPictureIsReportedAndTheDesignTimePictureShown) {
    folder.writeSettings({header(), "Image=" + (folder.program() / "image" / "gone.bmp").string()});
    startKivo();
    const auto window = dismissErrorBox();
    ASSERT_TRUE(window) << "no main window after the error box";
    EXPECT_EQ(window->geometry, (Rect{0, 0, 280, 279}));

    const Image shot = waitForCapture(window->geometry, startButtonDrawn);
    const Rect picture{0, 0, 280, 279};
    // The start-up stopped before centring the panel.
    EXPECT_EQ(boundsOf(picture, [&](int x, int y) { return isNeutral(shot.at(x, y)); }),
              kDesignPanel);

    int green = 0;
    int orange = 0;
    int pinkOrBlue = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (kStartButton.contains(x, y) || kDesignPanel.contains(x, y)) {
                continue;
            }
            const Rgb c = shot.at(x, y);
            green += isGreen(c) ? 1 : 0;
            orange += isOrange(c) ? 1 : 0;
            pinkOrBlue += isPinkOrBlue(c) ? 1 : 0;
        }
    }
    EXPECT_GT(green, 20000);
    EXPECT_GT(orange, 5000);
    EXPECT_LT(pinkOrBlue, 100);
}

} // namespace
} // namespace kivo::e2e
