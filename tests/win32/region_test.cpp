#include "ui_driver.h"
#include "window_region.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace kivo::win32 {
namespace {

using test::boxOf;

// The region's pixels as one (row, left, right) span per row and rectangle.
using Spans = std::vector<std::tuple<int, int, int>>;

Spans spansOf(const std::vector<Box>& rects) {
    Spans spans;
    for (const Box& rect : rects) {
        for (int y = rect.top; y < rect.bottom; ++y) {
            spans.emplace_back(y, rect.left, rect.right);
        }
    }
    std::sort(spans.begin(), spans.end());
    return spans;
}

Spans spansOf(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    GetRegionData(region, size, data);
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    std::vector<Box> boxes;
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        boxes.push_back(boxOf(rects[i]));
    }
    return spansOf(boxes);
}

TEST(WindowRegion, EachKindFillsItsBoxWithTheRightCorners) {
    const Box box{10, 20, 110, 70};
    const auto rect = regionFor({OutlineKind::Rect, box});
    const auto rounded = regionFor({OutlineKind::RoundRect, box});
    const auto ellipse = regionFor({OutlineKind::Ellipse, box});

    EXPECT_EQ(boxOf(rect.get()), box);
    EXPECT_TRUE(PtInRegion(rect.get(), 10, 20));
    // The region functions leave out the box's last column and row for rounded shapes.
    EXPECT_EQ(boxOf(rounded.get()), (Box{10, 20, 109, 69}));
    EXPECT_FALSE(PtInRegion(rounded.get(), 10, 20));
    EXPECT_TRUE(PtInRegion(rounded.get(), 13, 23)) << "corners are 20 pixels across, not more";
    EXPECT_FALSE(PtInRegion(ellipse.get(), 13, 23));
    EXPECT_TRUE(PtInRegion(ellipse.get(), 60, 20));
    EXPECT_TRUE(PtInRegion(ellipse.get(), 10, 45));
}

TEST(WindowRegion, CoversThePixelsTheCoreComputesForWindowSizedOutlines) {
    // The core's geometry serves the Linux face; both faces show the same outline. (Wine's
    // region functions part from it only in shapes under about 22 pixels across.)
    for (const Size window : {Size{280, 280}, Size{300, 200}, Size{400, 300}}) {
        for (const int vid : {0, 1, 2}) {
            for (const int inset : {0, 1, 37, 80}) {
                const Outline outline = outlineFor(vid, inset, window.width, window.height);
                const auto region = regionFor(outline);
                EXPECT_EQ(spansOf(region.get()), spansOf(outlineRects(outline)))
                    << "vid " << vid << ", inset " << inset << ", window " << window.width << "x"
                    << window.height;
            }
        }
    }
}

TEST(WindowRegion, WholeHasNoRegionAndAnOutlineWithoutAreaShowsNothing) {
    EXPECT_EQ(regionFor({}), nullptr);
    for (const OutlineKind kind :
         {OutlineKind::RoundRect, OutlineKind::Rect, OutlineKind::Ellipse}) {
        const auto region = regionFor({kind, {140, 140, 140, 140}});
        ASSERT_NE(region, nullptr);
        RECT box{};
        EXPECT_EQ(GetRgnBox(region.get(), &box), NULLREGION);
    }
}

} // namespace
} // namespace kivo::win32
