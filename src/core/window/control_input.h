#pragma once

#include "core/desktop.h"
#include "core/geometry.h"
#include "core/window/controls.h"

namespace kivo {

// The way in from a face: what its toolkit saw on the window's controls, as plain events.
// Points are in the control's own coordinates.
class ControlInput {
  public:
    virtual ~ControlInput() = default;

    virtual void press(Control control, MouseButton button, Point at) = 0;
    // Comes in place of the second press of a double-click; true when that press is still to
    // be fed (the double-click may have closed the window).
    virtual bool doubleClick(Control control, MouseButton button) = 0;
    virtual void move(Control control, Point at) = 0;
    // inside: released over the control.
    virtual void release(Control control, MouseButton button, Point at, bool inside) = 0;
    // A button control's own click; its toolkit tracks the press.
    virtual void click(Control control) = 0;
    virtual void timer() = 0;
    virtual void screensChanged() = 0;
    // Whether anyone can see the window: false while the session is locked, the screen saver
    // runs, the display is off, or another window covers it wholly.
    virtual void seenChanged(bool seen) = 0;
};

} // namespace kivo
