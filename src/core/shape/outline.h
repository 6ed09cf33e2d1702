#pragma once

#include "core/geometry.h"

#include <cstdint>
#include <vector>

namespace kivo {

enum class OutlineKind { Whole, RoundRect, Rect, Ellipse };

// The window's visible outline: Whole means no region (the window is shown whole).
struct Outline {
    OutlineKind kind = OutlineKind::Whole;
    Box box;
    bool operator==(const Outline&) const = default;
};

constexpr int kRoundCornerSize = 20;

// Vid, the outline's code, as the settings file writes it; any other code keeps the window
// whole.
inline constexpr std::int32_t kVidRoundRect = 0;
inline constexpr std::int32_t kVidRect = 1;
inline constexpr std::int32_t kVidEllipse = 2;

// The outline for an inset inside a window of the given size; the box is normalised so that
// left <= right and top <= bottom.
Outline outlineFor(std::int32_t vid, std::int32_t inset, int width, int height);

// The pixels an outline covers, as rectangles of whole rows (right and bottom excluded);
// empty for an outline with no area. Not meaningful for Whole.
std::vector<Box> outlineRects(const Outline& outline);

// What the rows after show that the rows before did not, banded top to bottom and left to right
// within a band. Both must be banded as outlineRects makes them: one box per band.
std::vector<Box> revealedRows(const std::vector<Box>& before, const std::vector<Box>& after);

} // namespace kivo
