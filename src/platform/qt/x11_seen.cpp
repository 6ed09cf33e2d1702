#include "x11_seen.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

namespace kivo::qt {

namespace {

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

} // namespace

X11Seen::~X11Seen() {
    if (seenChanged_) {
        qGuiApp->removeNativeEventFilter(this);
    }
}

void X11Seen::watch(QWidget& window, std::function<void(bool)> seenChanged,
                    std::function<void(bool)> unobscuredChanged) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return;
    }
    window_ = static_cast<std::uint32_t>(window.winId());
    seenChanged_ = std::move(seenChanged);
    unobscuredChanged_ = std::move(unobscuredChanged);
    qGuiApp->installNativeEventFilter(this);
    selectVisibility();
    const xcb_query_extension_reply_t* saver =
        xcb_get_extension_data(connection, &xcb_screensaver_id);
    if (saver != nullptr && saver->present) {
        std::free(xcb_screensaver_query_version_reply(
            connection, xcb_screensaver_query_version(connection, 1, 1), nullptr));
        saverEvent_ = saver->first_event;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_screensaver_select_input(connection, root, XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
    }
    xcb_flush(connection);
}

void X11Seen::selectVisibility() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || window_ == 0) {
        return;
    }
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window_), nullptr);
    if (attributes == nullptr) {
        return;
    }
    const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
    std::free(attributes);
    xcb_change_window_attributes(connection, window_, XCB_CW_EVENT_MASK, &mask);
}

bool X11Seen::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_VISIBILITY_NOTIFY) {
        const auto* visibility = reinterpret_cast<const xcb_visibility_notify_event_t*>(event);
        if (visibility->window == window_) {
            obscured_ = visibility->state == XCB_VISIBILITY_FULLY_OBSCURED;
            unobscuredChanged_(visibility->state == XCB_VISIBILITY_UNOBSCURED);
            update();
        }
    } else if (saverEvent_ != 0 && type == saverEvent_ + XCB_SCREENSAVER_NOTIFY) {
        const auto* saver = reinterpret_cast<const xcb_screensaver_notify_event_t*>(event);
        saverOn_ =
            saver->state == XCB_SCREENSAVER_STATE_ON || saver->state == XCB_SCREENSAVER_STATE_CYCLE;
        update();
    }
    return false; // Qt sees every event too
}

void X11Seen::setOutlineEmpty(bool empty) {
    outlineEmpty_ = empty;
    update();
}

void X11Seen::update() {
    const bool seen = !saverOn_ && (!obscured_ || outlineEmpty_);
    if (seen != seen_ && seenChanged_) {
        seen_ = seen;
        seenChanged_(seen);
    }
}

} // namespace kivo::qt
