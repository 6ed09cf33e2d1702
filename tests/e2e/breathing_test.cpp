// The breathing of the real window: its cycle, the buttons on it, its pauses, a trial, and
// the window, its controls and its outline at the display's scale.
#include "core/shape/outline.h"
#include "kivo_test.h"
#include "wait.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

namespace kivo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kSide = 280; // the default picture, square, whose size the breathing window takes
constexpr int kInsetMax = kSide / 2;
constexpr Rect kWholeWindow{0, 0, kSide, kSide};
// The insets of one cycle in order: 139 down to 0, a rest, 1 up to 140, and 139 again.
std::vector<int> cycleInsets() {
    std::vector<int> insets;
    for (int i = 1 - kInsetMax; i <= kInsetMax; ++i) {
        insets.push_back(std::abs(i));
    }
    insets.push_back(kInsetMax - 1);
    return insets;
}

constexpr std::size_t kRestIndex = kInsetMax - 1;
constexpr std::size_t kVanishIndex = 2 * kInsetMax - 1;

// The ellipse leaves out its box's last column and row, as the Windows region functions do.
Rect ellipseExtents(int inset) {
    return {inset, inset, kSide - 1 - 2 * inset, kSide - 1 - 2 * inset};
}

bool intersects(const Rect& a, const Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

bool covers(const Rect& outer, const Rect& inner) {
    return outer.x <= inner.x && outer.y <= inner.y &&
           outer.x + outer.width >= inner.x + inner.width &&
           outer.y + outer.height >= inner.y + inner.height;
}

// Well inside the full circle, so that the rasterised edge does not matter; of a window that
// the screen's edge cuts, what the screen shows.
int wrongInsideTheCircle(const Image& shown, const Image& picture) {
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const int dx = 2 * x - kSide;
            const int dy = 2 * y - kSide;
            wrong +=
                dx * dx + dy * dy < (kSide - 8) * (kSide - 8) && shown.at(x, y) != picture.at(x, y);
        }
    }
    return wrong;
}

std::chrono::milliseconds between(const ShapeChange& from, const ShapeChange& to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to.seen - from.seen);
}

// Each begins at the window that the program opens without settings. The program folder's path
// holds a blank and a "%", which the autostart entry must quote and escape.
class Breathing : public KivoTest {
  protected:
    void SetUp() override {
        KivoTest::SetUp();
        openWindow();
    }
    std::string folderLabel() const override { return " 100%"; }
};

// One cycle grows from the centre, rests, shrinks to nothing and starts again; at the rest the
// full outline shows the picture where the panel and the button were. The right button asks to
// stay on top, which registers autostart at once and puts the window above at the next tick;
// holding the left button pauses the breathing, and the release resumes it.
TEST_F(Breathing, OneCycleGrowsRestsShrinksAndStartsAgainAndTheButtonsActOnIt) {
    ASSERT_EQ(autostartCommand(), std::nullopt) << "the face came with an autostart entry";

    acceptStayOnTop();
    expectAutostartEntry();
    // Idle, the window keeps its level until a tick applies the choice.
    EXPECT_FALSE(staysAbove());

    const std::vector<int> insets = cycleInsets();
    const Image picture = readBmp(folder().defaultPicture());
    startBreathing();
    std::vector<ShapeChange> cycle;
    Image atRest;
    while (cycle.size() < insets.size()) {
        const auto change = x().nextShapeChange(5s);
        if (!change) {
            break;
        }
        cycle.push_back(*change);
        if (cycle.size() == kRestIndex + 1) {
            std::this_thread::sleep_for(300ms); // into the rest, which is far longer
            atRest = x().capture(window.geometry);
        }
    }
    EXPECT_EQ(x().geometry(window.id), (Rect{0, 0, kSide, kSide}))
        << "the window did not take the picture's size";
    ASSERT_EQ(cycle.size(), insets.size()) << "the outline stopped changing";

    for (std::size_t i = 0; i < kVanishIndex; ++i) {
        const Rect expected = ellipseExtents(insets[i]);
        if (cycle[i].extents != expected) {
            ADD_FAILURE() << "outline " << i << " (inset " << insets[i] << ") is "
                          << cycle[i].extents << ", expected " << expected;
            break;
        }
    }
    // No outline removes the shape or shows the whole window; the vanished one shows nothing.
    for (std::size_t i = 0; i < cycle.size(); ++i) {
        EXPECT_TRUE(cycle[i].shaped) << "outline " << i << " removed the shape";
        EXPECT_FALSE(covers(cycle[i].extents, kWholeWindow))
            << "outline " << i << " (inset " << insets[i] << ") shows the whole window";
    }
    EXPECT_FALSE(intersects(cycle[kVanishIndex].extents, kWholeWindow))
        << "at inset " << kInsetMax << " the window shows " << cycle[kVanishIndex].extents;

    // One pixel per tick of at least 10 ms, each tick reaching the screen on its own.
    const auto growing = between(cycle.front(), cycle[kRestIndex]);
    const auto shrinking = between(cycle[kRestIndex + 1], cycle[kVanishIndex]);
    EXPECT_GE(growing, 1250ms);
    EXPECT_GE(shrinking, 1250ms);
    std::vector<std::chrono::milliseconds> gaps;
    for (std::size_t i = 1; i <= kRestIndex; ++i) {
        gaps.push_back(between(cycle[i - 1], cycle[i]));
    }
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    EXPECT_GE(gaps[gaps.size() / 2], 5ms) << "the outline reached the screen in bursts";

    const auto rest = between(cycle[kRestIndex], cycle[kRestIndex + 1]);
    EXPECT_GE(rest, 1900ms);
    EXPECT_LE(rest, 3000ms);
    // The growth starts again from the centre at once, with no rest.
    EXPECT_EQ(cycle.back().extents, ellipseExtents(kInsetMax - 1));
    EXPECT_LT(between(cycle[kVanishIndex], cycle.back()), 1000ms);

    EXPECT_EQ(wrongInsideTheCircle(atRest, picture), 0)
        << "pixels inside the outline that are not the picture's";

    EXPECT_TRUE(waitUntil(timeout(), [&] { return staysAbove(); }))
        << "the breathing did not put the window above";

    // During the rest the whole picture can be hit.
    ASSERT_TRUE(waitForRest()) << "no rest at full size";
    clickInWindow(kSide / 2, kSide / 2, 3);
    const auto question = waitForDialog("Confirm");
    ASSERT_TRUE(question) << "no stay-on-top question while breathing";
    EXPECT_TRUE(waitUntil(timeout(), [&] { return !staysAbove(); }))
        << "the window stayed above the question";
    EXPECT_TRUE(answer(*question, "a")) << "the mnemonic of \"&Abort\" left the question open";
    EXPECT_TRUE(waitUntil(timeout(), [&] { return !autostartCommand().has_value(); }))
        << "Abort kept the autostart entry";
    EXPECT_TRUE(waitUntil(timeout(), [&] { return !staysAbove(); }))
        << "the next tick did not put the window back to normal level";
    EXPECT_TRUE(kivo().running());

    // The centre lies inside every outline of the growth.
    ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return change.extents.width > 40;
    })) << "no breathing";
    x().moveMouse(screenX(kSide / 2), screenY(kSide / 2));
    x().pressButton();
    // Ticks already under way when the press arrived may still show (several on a slow
    // face); a breathing that goes on is caught below all the same.
    for (int i = 0; i < 20 && x().nextShapeChange(200ms); ++i) {
    }
    x().moveMouse(screenX(kSide / 2 + 50), screenY(kSide / 2 + 20));
    const Rect moved{window.geometry.x + 50, window.geometry.y + 20, 280, 280};
    EXPECT_TRUE(waitUntil(timeout(), [&] { return x().geometry(window.id) == moved; }))
        << "the window is at " << x().geometry(window.id);
    EXPECT_FALSE(x().nextShapeChange(500ms)) << "the outline changed while the button was held";

    x().releaseButton();
    EXPECT_TRUE(x().nextShapeChange(1s)) << "the release did not resume the breathing";
}

// Nobody sees the ornament while the session is locked (a screen saver on X11), nor while
// Windows cloaks it, nor, where the X server tells it, while another window covers it wholly:
// the breathing waits, and goes on by itself soon after.
TEST_F(Breathing, WaitsWhileNobodyCanSeeItAndGoesOnByItself) {
    startBreathing();
    ASSERT_TRUE(x().nextShapeChange(5s)) << "the breathing did not start";
    const auto expectPauseAndResume = [&](const char* what, const std::function<void()>& hide,
                                          const std::function<void()>& show) {
        SCOPED_TRACE(what);
        hide();
        std::this_thread::sleep_for(300ms); // what was under way when it hid
        while (x().nextShapeChange(0ms)) {
        }
        const double cpuBefore = kivo().cpuSeconds();
        EXPECT_FALSE(x().nextShapeChange(3s)) << "the outline changed while nobody saw it";
        // The Linux program sleeps: under 0.05 % of a core. Wine's own processes tick on.
        if (face().name() == "linux") {
            EXPECT_LT(kivo().cpuSeconds() - cpuBefore, 0.0015) << "seconds of CPU in 3 s";
        }
        show();
        EXPECT_TRUE(x().nextShapeChange(1s)) << "the breathing did not go on";
    };
    expectPauseAndResume(
        "a locked session", [&] { setHidden(Hiding::LockedSession, true); },
        [&] { setHidden(Hiding::LockedSession, false); });
    if (face().name() != "linux") {
        expectPauseAndResume(
            "a cloaked window", [&] { setHidden(Hiding::Cloaked, true); },
            [&] { setHidden(Hiding::Cloaked, false); });
    } else {
        WindowId cover = 0;
        expectPauseAndResume(
            "a window over it",
            [&] {
                cover = x().coverArea(
                    {window.geometry.x - 10, window.geometry.y - 10, kSide + 20, kSide + 20});
            },
            [&] { x().destroyWindow(cover); });
    }
}

// Without a window manager's frame the Linux program paints what each outline adds itself:
// what another window over part of it, the screen's edge and a move along it hid shows the
// picture again.
class BreathingAlone : public Breathing {
    void SetUp() override {
        if (face().name() != "linux") {
            GTEST_SKIP() << "Wine paints its windows itself";
        }
        Breathing::SetUp();
    }
    bool withWindowManager() const override { return false; }
};

TEST_F(BreathingAlone, WhatOtherWindowsAndTheScreensEdgeHidShowsThePictureAgain) {
    startBreathing();
    const Image picture = readBmp(folder().defaultPicture());
    const auto expectPictureAtRest = [&](const char* what, const std::function<void()>& act) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(waitForRest()) << "no rest at full size";
        act();
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(wrongInsideTheCircle(x().capture(window.geometry), picture), 0);
    };
    expectPictureAtRest("whole", [&] { window.geometry = x().geometry(window.id); });
    const auto partlyCovered = [&] {
        const WindowId cover =
            x().coverArea({window.geometry.x + 30, window.geometry.y + 30, 60, 60});
        std::this_thread::sleep_for(300ms);
        x().destroyWindow(cover);
    };
    expectPictureAtRest("partly covered", partlyCovered);
    expectPictureAtRest("cut by the screen's edge", [&] { dragBy(1100, 0); });
    expectPictureAtRest("partly covered at the edge", partlyCovered);
    expectPictureAtRest("moved along the edge", [&] { dragBy(-50, 0); });
}

TEST_F(Breathing, ADoubleClickEndsATrialWithTheWholeWindowAndThePanelBack) {
    x().watchShape(window.id);
    clickInWindow(kPanel.x + kPictureButtonX, kPanel.y + kTrialButtonY); // "Проверить"
    ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return change.extents.width > kSide / 2;
    })) << "the trial did not start breathing";

    x().doubleClick(window.geometry.x + kSide / 2, window.geometry.y + kSide / 2);
    EXPECT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return covers(change.extents, kWholeWindow);
    })) << "the whole window did not come back";
    EXPECT_FALSE(x().nextShapeChange(300ms)) << "the outline kept breathing after the trial";
    EXPECT_EQ(x().shapeRectangles(window.id), std::vector<Rect>{kWholeWindow});

    expectPictureShown(readBmp(folder().defaultPicture()));
    EXPECT_TRUE(kivo().running()) << "ending a trial closed the program";

    // Out of the trial, with nothing changed, the next double-click closes without saving.
    doubleClickPicture();
    EXPECT_EQ(kivo().waitExit(timeout()), 0);
    EXPECT_FALSE(std::filesystem::exists(folder().settingsFile()));
}

// Where a logical edge falls in device pixels: each of the picture's pixels covers the device
// pixels between its edges.
int deviceEdge(int logical, double scale) {
    return static_cast<int>(std::lround(logical * scale));
}

// A square grid of device pixels, true where the window shows.
struct Coverage {
    int side;
    std::vector<bool> shown;

    explicit Coverage(int side) : side(side), shown(static_cast<std::size_t>(side * side)) {}
    void add(int left, int top, int right, int bottom) {
        for (int y = std::max(top, 0); y < std::min(bottom, side); ++y) {
            for (int x = std::max(left, 0); x < std::min(right, side); ++x) {
                shown[static_cast<std::size_t>(y * side + x)] = true;
            }
        }
    }
    bool operator==(const Coverage&) const = default;
};

Coverage expectedCoverage(int vid, int inset, double scale) {
    Coverage coverage(deviceEdge(kSide, scale));
    for (const Box& box : outlineRects(outlineFor(vid, inset, kSide, kSide))) {
        coverage.add(deviceEdge(box.left, scale), deviceEdge(box.top, scale),
                     deviceEdge(box.right, scale), deviceEdge(box.bottom, scale));
    }
    return coverage;
}

// Where two captures of an area differ clearly.
std::optional<Rect> changedBetween(const Image& before, const Image& after, const Rect& area) {
    return boundsOf(
        area,
        [&](int x, int y) {
            const Rgb a = before.at(x, y);
            const Rgb b = after.at(x, y);
            return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 48;
        },
        Rect{});
}

// The device pixels the window's shape shows now.
Coverage shapeNow(XClient& x, WindowId window, double scale) {
    Coverage shown(deviceEdge(kSide, scale));
    for (const Rect& r : x.shapeRectangles(window)) {
        shown.add(r.x, r.y, r.x + r.width, r.y + r.height);
    }
    return shown;
}

struct Row {
    int dpi;
    int vid;
    // A settings file's place and size, in the program's pixels; none: the design's.
    std::optional<Rect> saved;
};

using Scaling = KivoTest;

// Each face draws the program's pixels at the display's scale: the window, the panel and the
// start button, the question, and the outline, which must cover exactly the device pixels of
// the picture's pixels it covers: no seam between rows, no band at the right or bottom edge.
TEST_F(Scaling, EveryFaceDrawsTheWindowItsControlsItsQuestionAndItsOutlineAtTheDisplaysScale) {
    const Row rows[] = {
        {96, 2, {}}, {120, 0, {}}, {144, 2, {}}, {168, 0, {}}, {192, 2, Rect{40, 30, 300, 240}}};
    std::optional<Rect> panelAt96;
    std::optional<Rect> buttonAt96;
    int questionWidthAt96 = 0;
    for (const Row& row : rows) {
        const double scale = row.dpi / 96.0;
        SCOPED_TRACE(testing::Message() << row.dpi << " DPI, Vid=" << row.vid);
        std::vector<std::string> settings{"Vid=" + std::to_string(row.vid)};
        const Rect saved = row.saved.value_or(kDesignWindow);
        if (row.saved) {
            settings.push_back("Formkivo.left=" + std::to_string(saved.x));
            settings.push_back("Formkivo.top=" + std::to_string(saved.y));
            settings.push_back("Formkivo.width=" + std::to_string(saved.width));
            settings.push_back("Formkivo.height=" + std::to_string(saved.height));
        }
        folder().writeSettings(settings);
        setDisplayDpi(row.dpi);
        x().moveMouse(VirtualDisplay::kWidth - 1, VirtualDisplay::kHeight - 1);
        openWindow();
        const Rect& g = window.geometry;
        EXPECT_NEAR(g.x, deviceEdge(saved.x, scale), 1);
        EXPECT_NEAR(g.y, deviceEdge(saved.y, scale), 1);
        EXPECT_NEAR(g.width, deviceEdge(saved.width, scale), 1);
        EXPECT_NEAR(g.height, deviceEdge(saved.height, scale), 1);

        // Held down on the picture, the button hides the panel and the start button.
        const Image shown = waitForCapture(g, [](const Image&) { return true; });
        x().moveMouse(screenX(kPictureX), screenY(kPictureY));
        x().pressButton(1);
        const Image hidden =
            waitForCapture(g, [&](const Image& i) { return !startButtonShows(i, scale); });
        x().releaseButton(1);
        const int corner = deviceEdge(40, scale);
        const auto button = changedBetween(shown, hidden, {0, 0, corner, corner});
        const auto panel =
            changedBetween(shown, hidden, {corner, corner, g.width - corner, g.height - corner});
        ASSERT_TRUE(button && panel) << "the panel or the start button never hid";
        if (row.dpi == 96) {
            panelAt96 = panel;
            buttonAt96 = button;
        } else if (panelAt96 && buttonAt96) {
            EXPECT_NEAR(panel->width, deviceEdge(panelAt96->width, scale), 2) << *panel;
            EXPECT_NEAR(panel->height, deviceEdge(panelAt96->height, scale), 2) << *panel;
            EXPECT_NEAR(button->width, deviceEdge(buttonAt96->width, scale), 2) << *button;
        }

        clickInWindow(kPictureX, kPictureY, 3);
        const auto question = waitForDialog("Confirm");
        ASSERT_TRUE(question) << "no stay-on-top question";
        const int questionWidth = question->geometry.width;
        if (row.dpi == 96) {
            questionWidthAt96 = questionWidth;
        } else {
            EXPECT_NEAR(questionWidth, questionWidthAt96 * scale, questionWidthAt96 * scale * 0.15);
        }
        ASSERT_TRUE(answer(*question, "Escape"));

        startBreathing();
        ASSERT_TRUE(waitForRest()) << "the breathing never reached its rest";
        EXPECT_TRUE(shapeNow(x(), window.id, scale) == expectedCoverage(row.vid, 0, scale))
            << "at the rest the shape is not the whole outline in device pixels";

        // Shrinking again; held down on the picture, the button pauses the breathing.
        ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& c) {
            return c.extents.x > 10;
        })) << "the breathing stayed at its rest";
        x().moveMouse(screenX(kSide / 2), screenY(kSide / 2));
        x().pressButton(1);
        std::this_thread::sleep_for(300ms);
        const Coverage paused = shapeNow(x(), window.id, scale);
        x().releaseButton(1);
        int matching = -1;
        for (int inset = 0; inset <= kInsetMax && matching < 0; ++inset) {
            if (expectedCoverage(row.vid, inset, scale) == paused) {
                matching = inset;
            }
        }
        EXPECT_GE(matching, 0) << "the shape is no outline in device pixels";
        kivo().stop();
    }
}

} // namespace
} // namespace kivo::e2e
