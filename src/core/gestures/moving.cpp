#include "core/window/form_kivo.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kivo {

namespace {

// Window coordinates come from the settings file unchecked; a move must not overflow them.
int movedBy(int position, int delta) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{position} + delta,
                                                     std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

} // namespace

void TFormKivo::Image1MouseDown(MouseButton button, int x, int y) {
    if (button == MouseButton::Right) {
        askStayOnTop();
        return;
    }
    if (button != MouseButton::Left) {
        return;
    }
    setTimer1Enabled(false);
    const unsigned releasesBefore = releases_;
    state.DownX = x;
    state.DownY = y;
    desktop_.setPanelVisible(false);
    desktop_.setStartButtonVisible(false);
    desktop_.processPendingEvents(LetRunPoint::AfterHiding);
    desktop_.setPictureCursor(CursorShape::SizeAll);
    desktop_.setWindowCursor(CursorShape::SizeAll);
    desktop_.processPendingEvents(LetRunPoint::AfterCursor);
    // Otherwise the window would follow a mouse whose button is already up.
    if (releases_ == releasesBefore) {
        state.Dragging = 1;
    }
}

void TFormKivo::Image1MouseMove(int x, int y) {
    if (state.Dragging != 1) {
        return;
    }
    setTimer1Enabled(false);
    if (state.Running == 0) {
        desktop_.processPendingEvents(LetRunPoint::BeforeHiding);
        desktop_.setPanelVisible(false);
        desktop_.setStartButtonVisible(false);
        desktop_.processPendingEvents(LetRunPoint::AfterHiding);
    }
    desktop_.processPendingEvents(LetRunPoint::BeforeCursor);
    desktop_.setPictureCursor(CursorShape::SizeAll);
    desktop_.setWindowCursor(CursorShape::SizeAll);
    desktop_.processPendingEvents(LetRunPoint::AfterCursor);

    // The point under the mouse stays the point where the button went down.
    WindowBounds window = desktop_.windowBounds();
    window.left = movedBy(window.left, x - state.DownX);
    window.top = movedBy(window.top, y - state.DownY);
    desktop_.setWindowBounds(window);
    state.Changed = 1;
}

void TFormKivo::Image1MouseUp(MouseButton /*button*/, int /*x*/, int /*y*/) {
    ++releases_;
    if (state.Running == 0) {
        desktop_.setStartButtonVisible(true);
        desktop_.setPanelVisible(true);
    }
    state.Dragging = 0;
    desktop_.setPictureCursor(CursorShape::Hand);
    // Only the parts of the window that the picture does not cover show it.
    desktop_.setWindowCursor(CursorShape::Forbidden);
    if (state.Running == 1) {
        setTimer1Enabled(true);
    }
}

} // namespace kivo
