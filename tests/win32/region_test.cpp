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

// The core's geometry serves the Linux face; both faces show the same outline, of every kind,
// the window-sized ones of the breathing and one off the corner. (Wine's region functions
// differ from it only in shapes under about 22 pixels across.) One without area shows nothing.
TEST(WindowRegion, CoversThePixelsTheCoreComputesAndWholeHasNoRegion) {
    EXPECT_EQ(regionFor({}), nullptr);
    std::vector<Outline> outlines;
    for (const OutlineKind kind :
         {OutlineKind::RoundRect, OutlineKind::Rect, OutlineKind::Ellipse}) {
        outlines.push_back({kind, {10, 20, 110, 70}});
        outlines.push_back({kind, {140, 140, 140, 140}});
    }
    for (const Size window : {Size{280, 280}, Size{300, 200}, Size{400, 300}}) {
        for (const int vid : {0, 1, 2}) {
            for (const int inset : {0, 1, 37, 80}) {
                outlines.push_back(outlineFor(vid, inset, window.width, window.height));
            }
        }
    }
    for (const Outline& outline : outlines) {
        SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(outline.kind) << ", box "
                                        << outline.box.left << "," << outline.box.top << " to "
                                        << outline.box.right << "," << outline.box.bottom);
        const auto region = regionFor(outline);
        ASSERT_NE(region, nullptr);
        EXPECT_EQ(spansOf(region.get()), spansOf(outlineRects(outline)));
    }
}

} // namespace
} // namespace kivo::win32
