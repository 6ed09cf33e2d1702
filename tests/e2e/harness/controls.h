#pragma once

#include "image.h"

#include <functional>
#include <optional>

namespace kivo::e2e {

// What the main window's own controls look like on screen, in window coordinates.

inline constexpr Rect kStartButtonArea{0, 0, 28, 28};
// The window as designed, which opens without settings.
inline constexpr Rect kDesignWindow{0, 0, 280, 279};
// The panel as the program centres it on that window.
inline constexpr Rect kPanel{100, 95, 80, 88};
// Where the design puts the panel: a start-up stopped by an error box leaves it there.
inline constexpr Rect kDesignPanel{102, 96, 80, 88};
// A point of the default picture clear of the panel and the start button.
inline constexpr int kPictureX = 60;
inline constexpr int kPictureY = 220;

// Button captions' centres inside the panel.
inline constexpr int kPictureButtonX = 4 + 35;
inline constexpr int kPictureButtonY = 20 + 10; // "Картинка"
inline constexpr int kTrialButtonY = 60 + 11;   // "Проверить"

bool isGreen(Rgb c);
// The toolkits draw panels and backgrounds in pure greys; the pictures have none there.
bool isNeutral(Rgb c);
bool isLightGrey(Rgb c);

// The start button's disc is green around a white arrow; drawn at a display's scale.
bool startButtonShows(const Image& window, double scale = 1);

// The panel's light grey face shows in its margins, beside and below its buttons.
bool panelShows(const Image& window, const Rect& panel);

// The smallest rectangle holding every matching pixel of the area, leaving out the start
// button's square, since it lies over the picture too, or another area.
std::optional<Rect> boundsOf(const Rect& area, const std::function<bool(int, int)>& match,
                             const Rect& leftOut = kStartButtonArea);

// Where the window differs from the picture drawn at its top-left corner.
std::optional<Rect> differenceFromPicture(const Image& window, const Image& picture);

} // namespace kivo::e2e
