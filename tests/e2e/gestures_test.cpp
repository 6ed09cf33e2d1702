#include "face.h"
#include "files.h"
#include "kivo_test.h"
#include "wait.h"

#include <algorithm>
#include <filesystem>

namespace kivo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr Rect kPanel{100, 95, 80, 88}; // centred on the 280 x 279 window
constexpr int kSideHalf = 140;

class Gestures : public KivoTest {
  protected:
    void openWindow() {
        startKivo();
        const auto found = waitForPaintedMainWindow();
        ASSERT_TRUE(found) << "no main window";
        window = *found;
    }

    int atX(int windowX) const { return window.geometry.x + windowX; }
    int atY(int windowY) const { return window.geometry.y + windowY; }

    bool staysAbove() {
        const auto state = x().netWmState(window.id);
        return std::find(state.begin(), state.end(), "_NET_WM_STATE_ABOVE") != state.end();
    }

    std::optional<WindowInfo> rightClickForQuestion(int windowX, int windowY) {
        x().click(atX(windowX), atY(windowY), 3);
        return waitForDialog("Confirm");
    }

    void answer(const WindowInfo& question, const std::string& keysym) {
        x().pressKey(keysym);
        EXPECT_TRUE(x().waitUntilGone(question.id, kAppearTimeout)) << keysym << " left it open";
    }

    WindowInfo window;
};

TEST_F(Gestures, ADragMovesTheWindowByTheMousesTravel) {
    openWindow();
    x().drag(atX(60), atY(220), atX(60 + 150), atY(220 + 100));
    const Rect moved{150, 100, 280, 279};
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return x().geometry(window.id) == moved; }))
        << "the window is at " << x().geometry(window.id);

    x().moveMouse(1000, 900); // a tooltip could cover the panel
    const Image shot = waitForCapture(moved, [](const Image& image) {
        return panelShows(image, kPanel) && startButtonShows(image);
    });
    EXPECT_TRUE(panelShows(shot, kPanel)) << "the release did not bring the panel back";
    EXPECT_TRUE(startButtonShows(shot)) << "the release did not bring the start button back";
}

TEST_F(Gestures, TheRightButtonPutsTheWindowAboveAtTheNextTickAndRegistersAutostart) {
    startDisplay(/*withWindowManager=*/true);
    openWindow();
    x().watchShape(window.id);
    const auto entry = folder.configHome() / "autostart" / "kivo.narod.ru.desktop";

    auto question = rightClickForQuestion(60, 220);
    ASSERT_TRUE(question) << "no stay-on-top question";
    answer(*question, "Return"); // the leftmost button, OK, has the focus
    ASSERT_TRUE(waitUntil(kAppearTimeout, [&] { return std::filesystem::exists(entry); }))
        << "no autostart entry";
    const std::string exec =
        "Exec=\"" + std::filesystem::canonical(folder.executable()).string() + "\"\n";
    const std::string text = readFile(entry);
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\n")) << text;
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nName="), std::string::npos) << text;
    EXPECT_NE(text.find("\n" + exec), std::string::npos) << text;
    // Idle, the window keeps its level until a tick applies the choice.
    EXPECT_FALSE(staysAbove());

    x().click(atX(14), atY(14));
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return staysAbove(); }))
        << "the breathing did not put the window above";

    // During the rest the whole picture can be hit.
    ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return change.extents.width >= 279;
    })) << "no rest at full size";
    question = rightClickForQuestion(kSideHalf, kSideHalf);
    ASSERT_TRUE(question) << "no stay-on-top question while breathing";
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return !staysAbove(); }))
        << "the window stayed above the question";
    answer(*question, "a"); // the mnemonic of "&Abort"
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return !std::filesystem::exists(entry); }))
        << "Abort kept the autostart entry";
    EXPECT_TRUE(waitUntil(kAppearTimeout, [&] { return !staysAbove(); }))
        << "the next tick did not put the window back to normal level";
}

} // namespace
} // namespace kivo::e2e
