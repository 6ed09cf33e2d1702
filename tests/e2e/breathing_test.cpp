#include "kivo_test.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

namespace kivo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kSide = 280; // the default picture is square
constexpr int kInsetMax = kSide / 2;
constexpr Rect kWholeWindow{0, 0, kSide, kSide};
// The insets of one cycle in order: 139 down to 0, a rest, 1 up to 140, and 139 again.
std::vector<int> cycleInsets() {
    std::vector<int> insets;
    for (int i = kInsetMax - 1; i >= 0; --i) {
        insets.push_back(i);
    }
    for (int i = 1; i <= kInsetMax; ++i) {
        insets.push_back(i);
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

std::chrono::milliseconds between(const ShapeChange& from, const ShapeChange& to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to.seen - from.seen);
}

using Breathing = OpenWindowTest;

TEST_F(Breathing, OneCycleGrowsFromTheCentreRestsShrinksToNothingAndStartsAgain) {
    const std::vector<int> insets = cycleInsets();
    startBreathing();
    std::vector<ShapeChange> cycle;
    while (cycle.size() < insets.size()) {
        const auto change = x().nextShapeChange(5s);
        if (!change) {
            break;
        }
        cycle.push_back(*change);
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

TEST_F(Breathing, TheFullOutlineShowsThePictureWhereThePanelAndButtonWere) {
    const Image picture = readBmp(folder().defaultPicture());
    startBreathing();
    ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return change.extents == ellipseExtents(0);
    })) << "the outline did not grow to the full picture";
    std::this_thread::sleep_for(300ms); // into the rest
    const Image shot = x().capture(window.geometry);
    int wrong = 0;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int dx = 2 * x - kSide;
            const int dy = 2 * y - kSide;
            // Well inside the circle, so that the rasterised edge does not matter.
            if (dx * dx + dy * dy < (kSide - 8) * (kSide - 8) &&
                shot.at(x, y) != picture.at(x, y)) {
                ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels inside the outline that are not the picture's";
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

    // Out of the trial, with nothing changed, the next double-click closes.
    doubleClickPicture();
    EXPECT_EQ(kivo().waitExit(timeout()), 0);
}

} // namespace
} // namespace kivo::e2e
