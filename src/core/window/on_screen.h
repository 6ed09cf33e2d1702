#pragma once

#include "core/geometry.h"

#include <optional>
#include <vector>

namespace kivo {

// How much of the window must lie on one screen for it to count as reachable.
inline constexpr int kReachableSide = 40;

// Where a window that no screen shows enough of goes: the shortest move that puts it wholly on
// the nearest screen (the first, the primary, among equally near ones), its top-left corner
// on that screen when it is larger. Nothing when the window is reachable where it is, or when
// there is no screen at all. screens: primary first.
std::optional<Point> rescuedTopLeft(const WindowBounds& window, const std::vector<Box>& screens);

// The size a window opens at from a saved one: as saved, but none smaller than the smallest
// picture the user may choose (the design size instead, so that there is a picture to
// double-click), and none larger than the largest picture the program takes, which bounds a
// hostile value as it bounds a picture.
Size openingSize(Size saved, Size design);

} // namespace kivo
