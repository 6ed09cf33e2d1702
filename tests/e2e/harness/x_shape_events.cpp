// Following a window's outline through the SHAPE extension's ShapeNotify events.
#include "x_client.h"

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <poll.h>

namespace kivo::e2e {

void XClient::watchShape(Window window) {
    XShapeSelectInput(display_, window, ShapeNotifyMask);
    XSync(display_, False);
}

std::optional<ShapeChange> XClient::nextShapeChange(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        while (XPending(display_) > 0) {
            XEvent event{};
            XNextEvent(display_, &event);
            if (event.type != shapeEventBase_ + ShapeNotify) {
                continue;
            }
            const auto& shape = reinterpret_cast<const XShapeEvent&>(event);
            if (shape.kind == ShapeBounding) {
                return ShapeChange{{shape.x, shape.y, static_cast<int>(shape.width),
                                    static_cast<int>(shape.height)},
                                   shape.shaped != 0,
                                   std::chrono::steady_clock::now()};
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        // Sleeps until the server writes, so the time seen is the time of arrival.
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(left.count()));
    }
}

std::optional<ShapeChange> XClient::waitForShapeChange(std::chrono::milliseconds timeout,
                                                       const ShapeFilter& accept) {
    // Past the deadline the queue is still read, but not waited on.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto change = nextShapeChange(std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()));
        if (!change || accept(*change)) {
            return change;
        }
    }
}

} // namespace kivo::e2e
