#include "files.h"
#include "wait.h"
#include "wine_kivo_test.h"

#include <filesystem>
#include <optional>

namespace kivo::e2e {
namespace {

// A point of the picture clear of the panel and the start button.
constexpr int kPictureX = 60;
constexpr int kPictureY = 220;

class WineClosing : public WineKivoTest {
  protected:
    void openWindow() {
        startKivo();
        const auto found = waitForPaintedMainWindow();
        ASSERT_TRUE(found) << "no main window";
        window = *found;
    }

    // Drags the picture by the travel; the window is expected to follow.
    void dragBy(int dx, int dy) {
        const int fromX = window.geometry.x + kPictureX;
        const int fromY = window.geometry.y + kPictureY;
        x().drag(fromX, fromY, fromX + dx, fromY + dy);
        window.geometry.x += dx;
        window.geometry.y += dy;
        ASSERT_TRUE(
            waitUntil(kAppearTimeout, [&] { return x().geometry(window.id) == window.geometry; }))
            << "the drag left the window at " << x().geometry(window.id);
    }

    std::optional<WindowInfo> doubleClickForQuestion() {
        x().doubleClick(window.geometry.x + kPictureX, window.geometry.y + kPictureY);
        return waitForDialog("Confirm");
    }

    WindowInfo window;
};

TEST_F(WineClosing, WithNothingChangedADoubleClickEndsAtOnceWithoutSaving) {
    openWindow();
    x().doubleClick(kPictureX, kPictureY);
    EXPECT_EQ(kivo().waitExit(kAppearTimeout), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.settingsFile()));
}

TEST_F(WineClosing, EnterAtOnceAnswersNoAndNothingIsSaved) {
    openWindow();
    dragBy(40, 30);
    const auto question = doubleClickForQuestion();
    ASSERT_TRUE(question) << "a drag did not make closing ask to save";
    x().pressKey("Return"); // "&No", the leftmost button, has the focus
    EXPECT_EQ(kivo().waitExit(kAppearTimeout), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.settingsFile()));
}

TEST_F(WineClosing, AfterADragOkWritesTheEightLinesAndTheNextStartComesBackThere) {
    openWindow();
    dragBy(150, 100);
    const auto question = doubleClickForQuestion();
    ASSERT_TRUE(question) << "a drag did not make closing ask to save";
    x().pressKey("Tab"); // from "&No" to "OK"
    x().pressKey("Return");
    ASSERT_EQ(kivo().waitExit(kAppearTimeout), 0);

    // Code page 1251, CR LF, and the picture's path as the program knows it.
    const std::string expected = toCp1251("Параметры окон и опций Kivo") + "\r\n" +
                                 "Image=" + windowsPath(folder.defaultPicture()) + "\r\n" +
                                 "Formkivo.left=150\r\n"
                                 "Formkivo.top=100\r\n"
                                 "Formkivo.width=280\r\n"
                                 "Formkivo.height=280\r\n"
                                 "Vid=2\r\n"
                                 "flpv=false\r\n";
    EXPECT_EQ(readFile(folder.settingsFile()), expected);

    startKivo();
    const auto again = waitForMainWindow();
    ASSERT_TRUE(again) << "no main window at the next start";
    EXPECT_EQ(again->geometry, (Rect{150, 100, 280, 280}));
}

} // namespace
} // namespace kivo::e2e
