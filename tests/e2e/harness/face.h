#pragma once

#include "image.h"

namespace kivo::e2e {

// What the main window's own controls look like on screen, in window coordinates.

inline constexpr Rect kStartButtonArea{0, 0, 28, 28};

// The start button's disc is green around a white arrow.
bool startButtonShows(const Image& window);

// The panel's light grey face shows in its margins, beside and below its buttons.
bool panelShows(const Image& window, const Rect& panel);

} // namespace kivo::e2e
