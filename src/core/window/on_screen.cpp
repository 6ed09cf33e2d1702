#include "core/window/on_screen.h"

#include "core/picture/bitmap_check.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kivo {

namespace {

// The window's edges in 64 bits: a saved place near the int32 limits must not overflow.
struct Edges {
    std::int64_t left, top, right, bottom;
};

Edges edgesOf(const WindowBounds& window) {
    return {window.left, window.top, std::int64_t{window.left} + window.width,
            std::int64_t{window.top} + window.height};
}

bool showsEnough(const Edges& window, const Box& screen) {
    const std::int64_t width = std::min<std::int64_t>(window.right, screen.right) -
                               std::max<std::int64_t>(window.left, screen.left);
    const std::int64_t height = std::min<std::int64_t>(window.bottom, screen.bottom) -
                                std::max<std::int64_t>(window.top, screen.top);
    const std::int64_t needWidth =
        std::min<std::int64_t>(kReachableSide, window.right - window.left);
    const std::int64_t needHeight =
        std::min<std::int64_t>(kReachableSide, window.bottom - window.top);
    return width >= needWidth && height >= needHeight && width > 0 && height > 0;
}

// The gap between the window and a screen along one axis; 0 when they overlap on it.
std::int64_t gap(std::int64_t low, std::int64_t high, std::int64_t screenLow,
                 std::int64_t screenHigh) {
    return std::max<std::int64_t>({0, screenLow - high, low - screenHigh});
}

// Squared distance between the window and the screen.
std::int64_t distance(const Edges& window, const Box& screen) {
    const std::int64_t dx = gap(window.left, window.right, screen.left, screen.right);
    const std::int64_t dy = gap(window.top, window.bottom, screen.top, screen.bottom);
    return dx * dx + dy * dy;
}

// The nearest place for [low, low + length) inside [screenLow, screenHigh), the low edge on the
// screen when it does not fit.
int placed(int low, int length, int screenLow, int screenHigh) {
    const std::int64_t highest = std::int64_t{screenHigh} - length;
    return static_cast<int>(
        std::max<std::int64_t>(screenLow, std::min<std::int64_t>(low, highest)));
}

} // namespace

Size openingSize(Size saved, Size design) {
    if (saved.width < kMinPictureSide || saved.height < kMinPictureSide) {
        return design;
    }
    std::int64_t width = std::min<std::int64_t>(saved.width, kMaxPictureSide);
    std::int64_t height = std::min<std::int64_t>(saved.height, kMaxPictureSide);
    if (width * height > kMaxPicturePixels) {
        // Both sides shrink alike, to no more pixels than the largest picture has.
        const double scale =
            std::sqrt(static_cast<double>(kMaxPicturePixels) / static_cast<double>(width * height));
        width = static_cast<std::int64_t>(static_cast<double>(width) * scale);
        height = static_cast<std::int64_t>(static_cast<double>(height) * scale);
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

std::optional<Point> rescuedTopLeft(const WindowBounds& window, const std::vector<Box>& screens) {
    const Edges edges = edgesOf(window);
    if (screens.empty() || std::any_of(screens.begin(), screens.end(), [&](const Box& screen) {
            return showsEnough(edges, screen);
        })) {
        return std::nullopt;
    }
    const Box& nearest =
        *std::min_element(screens.begin(), screens.end(), [&](const Box& a, const Box& b) {
            return distance(edges, a) < distance(edges, b);
        });
    return Point{placed(window.left, window.width, nearest.left, nearest.right),
                 placed(window.top, window.height, nearest.top, nearest.bottom)};
}

} // namespace kivo
