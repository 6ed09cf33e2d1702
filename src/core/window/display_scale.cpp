#include "core/window/display_scale.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace kivo {

namespace {

// value * numerator / denominator, rounded half away from zero, held within int.
int scaled(int value, int numerator, int denominator) {
    if (numerator <= 0 || denominator <= 0) {
        return value;
    }
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t result =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(std::clamp<std::int64_t>(result, INT_MIN, INT_MAX));
}

int offset(int from, int by) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{from} + by, INT_MIN, INT_MAX));
}

int distance(int from, int to) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{to} - from, INT_MIN, INT_MAX));
}

} // namespace

int toDevicePixels(int logical, int dpi) {
    return scaled(logical, dpi, kDesignDpi);
}

int toLogicalPixels(int device, int dpi) {
    return scaled(device, kDesignDpi, dpi);
}

Box toDevicePixels(const Box& box, int dpi) {
    return {toDevicePixels(box.left, dpi), toDevicePixels(box.top, dpi),
            toDevicePixels(box.right, dpi), toDevicePixels(box.bottom, dpi)};
}

Box logicalArea(const Monitor& monitor) {
    const Box& d = monitor.device;
    return {d.left, d.top, offset(d.left, toLogicalPixels(distance(d.left, d.right), monitor.dpi)),
            offset(d.top, toLogicalPixels(distance(d.top, d.bottom), monitor.dpi))};
}

Point toLogicalPlace(Point device, const Monitor& monitor) {
    const Box& d = monitor.device;
    return {offset(d.left, toLogicalPixels(distance(d.left, device.x), monitor.dpi)),
            offset(d.top, toLogicalPixels(distance(d.top, device.y), monitor.dpi))};
}

Point toDevicePlace(Point logical, const Monitor& monitor) {
    const Box& d = monitor.device;
    return {offset(d.left, toDevicePixels(distance(d.left, logical.x), monitor.dpi)),
            offset(d.top, toDevicePixels(distance(d.top, logical.y), monitor.dpi))};
}

} // namespace kivo
