#include "x11_window.h"

#include "core/window/display_scale.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace kivo::qt {

namespace {

// 4096 x 4096: the copy costs the program twice and the server once four bytes a pixel.
constexpr std::int64_t kMaxPixels = 4096LL * 4096;

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

} // namespace

void X11ServerPainting::start(QWidget& window) {
    xcb_connection_t* connection = x11Connection();
    if (active_ || connection == nullptr || window.windowHandle() == nullptr) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, id), nullptr);
    // The image is sent as 32-bit pixels in the server's order; other servers, and windows
    // whose copy would cost more memory than the saving is worth, keep Qt's way.
    const bool usable = geometry != nullptr && attributes != nullptr && geometry->depth == 24 &&
                        xcb_get_setup(connection)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST &&
                        std::int64_t{geometry->width} * geometry->height <= kMaxPixels;
    const std::uint8_t depth = usable ? geometry->depth : 0;
    eventMask_ = usable ? attributes->your_event_mask : 0;
    std::free(geometry);
    std::free(attributes);
    if (!usable) {
        return;
    }
    const QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    // A server short of memory refuses the pixmap; the window then stays Qt's to paint.
    xcb_generic_error_t* refused = xcb_request_check(
        connection, xcb_create_pixmap_checked(connection, depth, pixmap, id,
                                              static_cast<std::uint16_t>(image.width()),
                                              static_cast<std::uint16_t>(image.height())));
    if (refused != nullptr) {
        std::free(refused);
        return;
    }
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, pixmap, 0, nullptr);
    // Strips well below any server's request limit.
    const int rowsPerRequest = std::max(1, (256 * 1024) / static_cast<int>(image.bytesPerLine()));
    for (int y = 0; y < image.height(); y += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, image.height() - y);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc,
                      static_cast<std::uint16_t>(image.width()), static_cast<std::uint16_t>(rows),
                      0, static_cast<std::int16_t>(y), 0, depth,
                      static_cast<std::uint32_t>(rows * image.bytesPerLine()),
                      image.constScanLine(y));
    }
    xcb_free_gc(connection, gc);
    const std::uint32_t background = pixmap;
    xcb_change_window_attributes(connection, id, XCB_CW_BACK_PIXMAP, &background);
    // The window keeps its background; the program needs no name for it.
    xcb_free_pixmap(connection, pixmap);
    const std::uint32_t mask = eventMask_ & ~std::uint32_t{XCB_EVENT_MASK_EXPOSURE};
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &mask);
    active_ = true;
}

void X11ServerPainting::stop(QWidget& window) {
    xcb_connection_t* connection = x11Connection();
    if (!active_ || connection == nullptr) {
        return;
    }
    active_ = false;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const std::uint32_t none = XCB_BACK_PIXMAP_NONE;
    xcb_change_window_attributes(connection, id, XCB_CW_BACK_PIXMAP, &none);
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &eventMask_);
}

bool setX11Outline(QWidget& window, const std::optional<std::vector<Box>>& rows) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || window.windowHandle() == nullptr) {
        return false;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!rows) {
        xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
        return true;
    }
    // Qt's scale is never below 1, so scaled rows stay apart and in order.
    const int dpi = qRound(window.devicePixelRatioF() * kDesignDpi);
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(rows->size());
    for (const Box& row : *rows) {
        const Box box = toDevicePixels(row, dpi);
        rects.push_back({static_cast<std::int16_t>(box.left), static_cast<std::int16_t>(box.top),
                         static_cast<std::uint16_t>(box.right - box.left),
                         static_cast<std::uint16_t>(box.bottom - box.top)});
    }
    if (rects.empty()) {
        rects.push_back({-1, -1, 1, 1}); // a pixel outside the window: nothing shows
    }
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_YX_BANDED, id, 0, 0,
                         static_cast<std::uint32_t>(rects.size()), rects.data());
    return true;
}

void flushX11() {
    if (xcb_connection_t* connection = x11Connection()) {
        xcb_flush(connection);
    }
}

} // namespace kivo::qt
