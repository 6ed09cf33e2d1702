#include "face.h"
#include "wine_kivo_test.h"

#include <vector>

namespace kivo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kSide = 280; // the default picture is square
constexpr int kInsetMax = kSide / 2;

// CreateEllipticRgn leaves out its box's last column and row.
Rect ellipseExtents(int inset) {
    return {inset, inset, kSide - 1 - 2 * inset, kSide - 1 - 2 * inset};
}

class WineBreathing : public WineKivoTest {};

TEST_F(WineBreathing, AfterTheStartButtonTheEllipseGrowsOutOfTheCentreOnePixelATick) {
    startKivo();
    const auto window = waitForPaintedMainWindow();
    ASSERT_TRUE(window) << "no main window";
    x().watchShape(window->id);
    x().click(kStartButtonArea.width / 2, kStartButtonArea.height / 2);

    // Insets 139 down to 0, then the rest at full size.
    std::vector<ShapeChange> growth;
    while (growth.size() < kInsetMax) {
        const auto change = x().nextShapeChange(5s);
        if (!change) {
            break;
        }
        growth.push_back(*change);
    }
    EXPECT_EQ(x().geometry(window->id), (Rect{0, 0, kSide, kSide}))
        << "the window did not take the picture's size";
    ASSERT_EQ(growth.size(), static_cast<std::size_t>(kInsetMax)) << "the outline stopped";
    for (int i = 0; i < kInsetMax; ++i) {
        const int inset = kInsetMax - 1 - i;
        const ShapeChange& change = growth[static_cast<std::size_t>(i)];
        if (!change.shaped || change.extents != ellipseExtents(inset)) {
            ADD_FAILURE() << "outline " << i << " is " << change.extents << ", expected inset "
                          << inset << ": " << ellipseExtents(inset);
            break;
        }
    }
    // Full size holds for the two-second rest.
    EXPECT_FALSE(x().nextShapeChange(1500ms)) << "no rest at full size";
    const auto shrinking = x().nextShapeChange(3s);
    ASSERT_TRUE(shrinking) << "the outline did not shrink after the rest";
    EXPECT_EQ(shrinking->extents, ellipseExtents(1));
}

TEST_F(WineBreathing, ADoubleClickEndsATrialWithTheWholeWindowAndThePanelBack) {
    startKivo();
    const auto window = waitForPaintedMainWindow();
    ASSERT_TRUE(window) << "no main window";
    x().watchShape(window->id);
    const Rect panel{100, 95, 80, 88}; // centred on 280 x 279; a trial does not move it
    x().click(panel.x + 4 + 35, panel.y + 60 + 11); // "Проверить"
    ASSERT_TRUE(x().waitForShapeChange(5s, [](const ShapeChange& change) {
        return change.extents.width > kSide / 2;
    })) << "the trial did not start breathing";

    x().doubleClick(kSide / 2, kSide / 2);
    const Rect whole{0, 0, kSide, kSide};
    EXPECT_TRUE(x().waitForShapeChange(5s, [&](const ShapeChange& change) {
        return change.extents == whole;
    })) << "the whole window did not come back";
    EXPECT_FALSE(x().nextShapeChange(300ms)) << "the outline kept breathing after the trial";
    EXPECT_EQ(x().shapeRectangles(window->id), std::vector<Rect>{whole});

    x().moveMouse(1000, 900); // a tooltip could cover the panel
    const Image shot = waitForCapture(whole, [&](const Image& image) {
        return panelShows(image, panel) && startButtonShows(image);
    });
    EXPECT_TRUE(panelShows(shot, panel)) << "the panel did not come back";
    EXPECT_TRUE(startButtonShows(shot)) << "the start button did not come back";
    EXPECT_TRUE(kivo().running()) << "ending a trial closed the program";
}

} // namespace
} // namespace kivo::e2e
