#pragma once

#include "core/geometry.h"

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

namespace kivo::qt {

// While the window shows a still image under a changing outline, the X server paints it:
// the image becomes the native window's background and the window takes no exposures, so a
// growing outline costs the program no repaint. Without an X server it does nothing.
class X11ServerPainting {
  public:
    // Takes what the window shows now as its background.
    void start(QWidget& window);
    // Qt paints again from its next exposure on.
    void stop(QWidget& window);

  private:
    bool active_ = false;
    std::uint32_t eventMask_ = 0;
};

// Sets the window's bounding shape on the X server to the rows (the program's pixels, banded
// top to bottom as the core makes them), or clears it for none; Qt's mask would send them
// unsorted through a QRegion at every tick. False without an X server.
bool setX11Outline(QWidget& window, const std::optional<std::vector<Box>>& rows);

// Sends what the program has queued for the X server now; Qt would wait for its next flush.
void flushX11();

} // namespace kivo::qt
