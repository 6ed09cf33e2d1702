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

xcb_window_t rootOf(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// Adds to the program's events on the window; returns the events it had.
std::uint32_t addEvents(xcb_connection_t* connection, xcb_window_t window, std::uint32_t events) {
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr);
    if (attributes == nullptr) {
        return events;
    }
    const std::uint32_t had = attributes->your_event_mask;
    std::free(attributes);
    const std::uint32_t mask = had | events;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    return had;
}

} // namespace

X11Seen::~X11Seen() {
    if (seenChanged_) {
        qGuiApp->removeNativeEventFilter(this);
    }
}

void X11Seen::watch(QWidget& window, std::function<void(bool)> seenChanged,
                    std::function<void()> mayHaveUncovered) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return;
    }
    window_ = static_cast<std::uint32_t>(window.winId());
    seenChanged_ = std::move(seenChanged);
    mayHaveUncovered_ = std::move(mayHaveUncovered);
    qGuiApp->installNativeEventFilter(this);
    selectVisibility();
    // Windows that come, go or move, and the screen's size: while they leave the window partly
    // hidden, its visibility does not change.
    const std::uint32_t rootEvents =
        addEvents(connection, rootOf(connection),
                  XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    rootEventsOurs_ = (rootEvents & XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY) == 0;
    const xcb_query_extension_reply_t* saver =
        xcb_get_extension_data(connection, &xcb_screensaver_id);
    if (saver != nullptr && saver->present) {
        std::free(xcb_screensaver_query_version_reply(
            connection, xcb_screensaver_query_version(connection, 1, 1), nullptr));
        saverEvent_ = saver->first_event;
        xcb_screensaver_select_input(connection, rootOf(connection),
                                     XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
    }
    xcb_flush(connection);
}

void X11Seen::selectVisibility() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || window_ == 0) {
        return;
    }
    addEvents(connection, window_, XCB_EVENT_MASK_VISIBILITY_CHANGE);
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
            allShown_ = visibility->state == XCB_VISIBILITY_UNOBSCURED;
            mayHaveUncovered_();
            update();
        }
    } else if (type == XCB_CONFIGURE_NOTIFY || type == XCB_MAP_NOTIFY || type == XCB_UNMAP_NOTIFY ||
               type == XCB_CIRCULATE_NOTIFY) {
        // The four begin alike: the window told and the window changed.
        const auto* change = reinterpret_cast<const xcb_unmap_notify_event_t*>(event);
        if (change->event == rootOf(x11Connection())) {
            if (!allShown_) {
                mayHaveUncovered_();
            }
            // Qt would take a child's ConfigureNotify for the root's, and look at its screens.
            return rootEventsOurs_ && type == XCB_CONFIGURE_NOTIFY &&
                   change->window != change->event;
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
