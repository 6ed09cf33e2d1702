#include "controls.h"

#include <algorithm>

namespace kivo::e2e {

bool isGreen(Rgb c) {
    return c.g > c.r + 40 && c.g > c.b + 40;
}

bool isNeutral(Rgb c) {
    return c.r == c.g && c.g == c.b;
}

bool isLightGrey(Rgb c) {
    return isNeutral(c) && c.r >= 200;
}

bool startButtonShows(const Image& window, double scale) {
    const auto at = [&](int x, int y) {
        return window.at(static_cast<int>(x * scale), static_cast<int>(y * scale));
    };
    return isGreen(at(6, 14)) && isGreen(at(14, 22));
}

bool panelShows(const Image& window, const Rect& panel) {
    return isLightGrey(window.at(panel.x + 76, panel.y + 44)) &&
           isLightGrey(window.at(panel.x + 40, panel.y + 84));
}

std::optional<Rect> boundsOf(const Rect& area, const std::function<bool(int, int)>& match,
                             const Rect& leftOut) {
    int left = area.x + area.width;
    int top = area.y + area.height;
    int right = -1;
    int bottom = -1;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            if (!leftOut.contains(x, y) && match(x, y)) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        return std::nullopt;
    }
    return Rect{left, top, right - left + 1, bottom - top + 1};
}

std::optional<Rect> differenceFromPicture(const Image& window, const Image& picture) {
    const Rect area{0, 0, std::min(window.width(), picture.width()),
                    std::min(window.height(), picture.height())};
    return boundsOf(area, [&](int x, int y) { return window.at(x, y) != picture.at(x, y); });
}

} // namespace kivo::e2e
