#include "face.h"

namespace kivo::e2e {

namespace {

bool isGreen(Rgb c) {
    return c.g > c.r + 40 && c.g > c.b + 40;
}

// The toolkit draws the panel in a pure grey; the pictures have none there.
bool isLightGrey(Rgb c) {
    return c.r == c.g && c.g == c.b && c.r >= 200;
}

} // namespace

bool startButtonShows(const Image& window) {
    return isGreen(window.at(6, 14)) && isGreen(window.at(14, 22));
}

bool panelShows(const Image& window, const Rect& panel) {
    return isLightGrey(window.at(panel.x + 76, panel.y + 44)) &&
           isLightGrey(window.at(panel.x + 40, panel.y + 84));
}

} // namespace kivo::e2e
