#include "x11_window.h"

#include "core/shape/outline.h"
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
// On Xvfb a clip rectangle costs the server about what copying 200 to 250 pixels does.
constexpr std::int64_t kPixelsPerClipRectangle = 256;

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// The rows in the window's device pixels. Qt's scale is never below 1, so scaled rows stay
// apart and in order.
std::vector<Box> deviceRows(const QWidget& window, const std::vector<Box>& rows) {
    const int dpi = qRound(window.devicePixelRatioF() * kDesignDpi);
    std::vector<Box> device;
    device.reserve(rows.size());
    for (const Box& row : rows) {
        device.push_back(toDevicePixels(row, dpi));
    }
    return device;
}

std::vector<xcb_rectangle_t> x11Rects(const std::vector<Box>& boxes) {
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(boxes.size());
    for (const Box& box : boxes) {
        rects.push_back({static_cast<std::int16_t>(box.left), static_cast<std::int16_t>(box.top),
                         static_cast<std::uint16_t>(box.right - box.left),
                         static_cast<std::uint16_t>(box.bottom - box.top)});
    }
    return rects;
}

} // namespace

X11ServerPainting::~X11ServerPainting() {
    stop();
}

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
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, id), nullptr);
    // A window manager's frame takes the window's outline a moment after the window: what
    // comes to light then cannot be foreseen, and the server paints it from the background.
    serverPaints_ = geometry == nullptr || tree == nullptr || tree->parent != geometry->root;
    std::free(tree);
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
    // Copies from a pixmap need no word of what they could not copy.
    const std::uint32_t noExposures = 0;
    xcb_create_gc(connection, gc, pixmap, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
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
    window_ = id;
    image_ = pixmap;
    gc_ = gc;
    size_ = {image.width(), image.height()};
    clipped_ = false;
    shown_.clear(); // the first outline is painted whole
    active_ = true;
    selectEvents();
    if (serverPaints_) {
        setBackground(image_);
    }
}

void X11ServerPainting::stop() {
    if (!active_) {
        return;
    }
    xcb_connection_t* connection = x11Connection();
    active_ = false;
    if (serverPaints_) {
        setBackground(XCB_BACK_PIXMAP_NONE);
    }
    xcb_change_window_attributes(connection, window_, XCB_CW_EVENT_MASK, &eventMask_);
    xcb_free_gc(connection, gc_);
    xcb_free_pixmap(connection, image_);
}

void X11ServerPainting::outlineSet(const std::vector<Box>& deviceRows) {
    if (!active_ || serverPaints_) {
        return;
    }
    paint(revealedRows(shown_, deviceRows));
    shown_ = deviceRows;
}

void X11ServerPainting::repaint() {
    if (active_ && !serverPaints_) {
        paint({{0, 0, size_.width, size_.height}});
        xcb_flush(x11Connection());
    }
}

void X11ServerPainting::selectEvents() {
    if (!active_) {
        return;
    }
    xcb_connection_t* connection = x11Connection();
    const std::uint32_t mask = eventMask_ & ~std::uint32_t{XCB_EVENT_MASK_EXPOSURE};
    xcb_change_window_attributes(connection, window_, XCB_CW_EVENT_MASK, &mask);
}

void X11ServerPainting::setBackground(std::uint32_t pixmap) {
    xcb_change_window_attributes(x11Connection(), window_, XCB_CW_BACK_PIXMAP, &pixmap);
}

void X11ServerPainting::paint(const std::vector<Box>& area) {
    if (area.empty()) {
        return;
    }
    Box extents = area.front();
    for (const Box& box : area) {
        extents = {std::min(extents.left, box.left), std::min(extents.top, box.top),
                   std::max(extents.right, box.right), std::max(extents.bottom, box.bottom)};
    }
    xcb_connection_t* connection = x11Connection();
    const std::int64_t extentsPixels =
        std::int64_t{extents.right - extents.left} * (extents.bottom - extents.top);
    // Where the area is small for its rectangles, its extents are copied, clipped by the
    // outline alone.
    const bool clip =
        extentsPixels > kPixelsPerClipRectangle * static_cast<std::int64_t>(area.size());
    if (clip) {
        const std::vector<xcb_rectangle_t> rects = x11Rects(area);
        xcb_set_clip_rectangles(connection, XCB_CLIP_ORDERING_YX_BANDED, gc_, 0, 0,
                                static_cast<std::uint32_t>(rects.size()), rects.data());
    } else if (clipped_) {
        const std::uint32_t none = XCB_NONE;
        xcb_change_gc(connection, gc_, XCB_GC_CLIP_MASK, &none);
    }
    clipped_ = clip;
    xcb_copy_area(connection, image_, window_, gc_, static_cast<std::int16_t>(extents.left),
                  static_cast<std::int16_t>(extents.top), static_cast<std::int16_t>(extents.left),
                  static_cast<std::int16_t>(extents.top),
                  static_cast<std::uint16_t>(extents.right - extents.left),
                  static_cast<std::uint16_t>(extents.bottom - extents.top));
}

bool setX11Outline(QWidget& window, const std::optional<std::vector<Box>>& rows,
                   X11ServerPainting& painting) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || window.windowHandle() == nullptr) {
        return false;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!rows) {
        xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
        return true;
    }
    const std::vector<Box> device = deviceRows(window, *rows);
    std::vector<xcb_rectangle_t> rects = x11Rects(device);
    if (rects.empty()) {
        rects.push_back({-1, -1, 1, 1}); // a pixel outside the window: nothing shows
    }
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_YX_BANDED, id, 0, 0,
                         static_cast<std::uint32_t>(rects.size()), rects.data());
    painting.outlineSet(device);
    return true;
}

void flushX11() {
    if (xcb_connection_t* connection = x11Connection()) {
        xcb_flush(connection);
    }
}

} // namespace kivo::qt
