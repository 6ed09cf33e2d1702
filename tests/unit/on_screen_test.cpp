#include "core/window/display_scale.h"
#include "core/window/on_screen.h"

#include <gtest/gtest.h>

#include <climits>

namespace kivo {
namespace {

struct Case {
    const char* what;
    WindowBounds window;
    std::vector<Box> screens;
    std::optional<Point> expected;
};

const Box kPrimary{0, 0, 1280, 1024};
const Box kRightOfIt{1280, 0, 3200, 1080};

TEST(RescuedTopLeft, MovesOnlyAWindowNoScreenShowsEnoughOf) {
    const Case cases[] = {
        {"wholly on the screen", {100, 100, 280, 279}, {kPrimary}, std::nullopt},
        {"partly off, but 40 x 40 still shown", {-100, 50, 280, 279}, {kPrimary}, std::nullopt},
        {"exactly 40 pixels shown", {1240, 984, 280, 279}, {kPrimary}, std::nullopt},
        {"39 pixels wide shown", {1241, 100, 280, 279}, {kPrimary}, Point{1000, 100}},
        {"39 pixels high shown", {100, -240, 280, 279}, {kPrimary}, Point{100, 0}},
        {"far below and right", {5000, 5000, 280, 279}, {kPrimary}, Point{1000, 745}},
        {"far above and left", {-5000, -5000, 280, 279}, {kPrimary}, Point{0, 0}},
        {"shown by the second screen", {2000, 500, 280, 279}, {kPrimary, kRightOfIt}, std::nullopt},
        {"on a screen that is gone", {2000, 500, 280, 279}, {kPrimary}, Point{1000, 500}},
        {"nearer the second screen",
         {4000, 200, 280, 279},
         {kPrimary, kRightOfIt},
         Point{2920, 200}},
        {"as near to both: the primary",
         {1140, 2000, 280, 279},
         {kPrimary, {1280, 0, 2560, 1024}},
         Point{1000, 745}},
        {"less than 40 on each of two screens",
         {1250, 100, 60, 279},
         {kPrimary, kRightOfIt},
         Point{1220, 100}},
        {"larger than the screen: its top-left on it",
         {3000, 3000, 2000, 1500},
         {kPrimary},
         Point{0, 0}},
        {"at the int32 limits", {INT_MAX - 10, INT_MIN + 10, 280, 279}, {kPrimary}, Point{1000, 0}},
        {"no screens known", {5000, 5000, 280, 279}, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rescuedTopLeft(c.window, c.screens), c.expected) << c.what;
    }
}

TEST(OpeningSize, KeepsASavedSizeBetweenTheSmallestAndTheLargestPicture) {
    const Size design{280, 279};
    EXPECT_EQ(openingSize({400, 300}, design), (Size{400, 300}));
    EXPECT_EQ(openingSize({100, 100}, design), (Size{100, 100}));
    EXPECT_EQ(openingSize({99, 300}, design), design);
    EXPECT_EQ(openingSize({300, 0}, design), design);
    EXPECT_EQ(openingSize({-5, -5}, design), design);
    EXPECT_EQ(openingSize({2000, 1000}, design), (Size{2000, 1000})) << "larger than the screen";
    EXPECT_EQ(openingSize({100000, 100000}, design), (Size{8192, 8192}));
    EXPECT_EQ(openingSize({40000, 120}, design), (Size{32767, 120}));
}

TEST(DisplayScale, LengthsRoundTripAndEachMonitorKeepsItsCorner) {
    struct Length {
        int logical, dpi, device;
    };
    const Length lengths[] = {{280, 144, 420}, {279, 144, 419}, {279, 120, 349},
                              {280, 192, 560}, {13, 144, 20},   {-7, 144, -11}};
    for (const Length& l : lengths) {
        EXPECT_EQ(toDevicePixels(l.logical, l.dpi), l.device) << l.logical << " at " << l.dpi;
        EXPECT_EQ(toLogicalPixels(l.device, l.dpi), l.logical) << l.device << " at " << l.dpi;
    }
    EXPECT_EQ(toDevicePixels(INT_MAX, 192), INT_MAX) << "held within int";

    const Monitor right{{1920, 0, 4800, 1620}, 144};
    EXPECT_EQ(logicalArea(right), (Box{1920, 0, 3840, 1080}));
    EXPECT_EQ(toDevicePlace({2020, 50}, right), (Point{2070, 75}));
    EXPECT_EQ(toLogicalPlace({2070, 75}, right), (Point{2020, 50}));
    EXPECT_EQ(toDevicePlace({1900, -10}, right), (Point{1890, -15})) << "left of its corner";
}

} // namespace
} // namespace kivo
