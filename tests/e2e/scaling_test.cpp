#include "core/shape/outline.h"
#include "kivo_test.h"

#include <cmath>
#include <sstream>
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

using Scaling = KivoTest;

// Qt draws the Linux face in device pixels at the screen's scale factor; the outline, set in
// the program's own pixels, must cover exactly the device pixels of the picture's pixels it
// covers: no seam between rows, no band at the right or bottom edge.
TEST_F(Scaling, AtFractionalScaleFactorsTheShapeIsTheOutlineInDevicePixels) {
    if (face().name() != "linux") {
        GTEST_SKIP() << "Kivo.exe declares itself DPI-aware: Windows scales none of its pixels";
    }
    for (const double scale : {1.25, 1.5, 1.75}) {
        for (const int vid : {2, 0}) {
            std::ostringstream what;
            what << "scale " << scale << ", Vid=" << vid;
            SCOPED_TRACE(what.str());
            folder().writeSettings({"Параметры окон и опций Kivo", "Vid=" + std::to_string(vid)});
            startKivo({"QT_SCALE_FACTOR=" + std::to_string(scale)});
            const auto window = waitForMainWindow();
            ASSERT_TRUE(window) << "no main window";
            const Rect& g = window->geometry;
            x().watchShape(window->id);
            // The start button, once it is drawn: a click before may be lost.
            std::this_thread::sleep_for(500ms);
            x().click(g.x + deviceEdge(14, scale), g.y + deviceEdge(14, scale));
            for (int tick = 0; tick < 40; ++tick) {
                ASSERT_TRUE(x().nextShapeChange(5s)) << "the breathing did not start";
            }
            // Held down on the picture, the button pauses the breathing.
            x().moveMouse(g.x + deviceEdge(kSide / 2, scale), g.y + deviceEdge(kSide / 2, scale));
            x().pressButton(1);
            std::this_thread::sleep_for(300ms);
            Coverage shown(deviceEdge(kSide, scale));
            for (const Rect& r : x().shapeRectangles(window->id)) {
                shown.add(r.x, r.y, r.x + r.width, r.y + r.height);
            }
            x().releaseButton(1);
            int matching = -1;
            for (int inset = 0; inset <= kInsetMax && matching < 0; ++inset) {
                if (expectedCoverage(vid, inset, scale) == shown) {
                    matching = inset;
                }
            }
            EXPECT_GE(matching, 0) << "the shape is no outline in device pixels";
            kivo().stop();
        }
    }
}

} // namespace
} // namespace kivo::e2e
