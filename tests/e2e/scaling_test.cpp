#include "core/shape/outline.h"
#include "kivo_test.h"

#include <cmath>
#include <thread>
#include <vector>

namespace kivo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kSide = 280; // the default picture, which the breathing window takes
constexpr int kInsetMax = kSide / 2;

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
