#pragma once

#include "core/geometry.h"

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

namespace kivo::qt {

// While the window shows a still image under a changing outline, Qt paints nothing: the image
// is kept on the X server. Where the window is the root's own child, the program paints from it
// only what each outline adds; the server sends no exposures then and, the window having no
// background, paints nothing itself, so whatever may have brought hidden parts to light has the
// window painted whole. In a window manager's frame, the image is the window's background, which
// the server paints itself. Without an X server it does nothing.
class X11ServerPainting {
  public:
    ~X11ServerPainting();
    // Takes what the window shows now as the image to paint.
    void start(QWidget& window);
    // Qt paints again from its next exposure on.
    void stop();
    // After the outline's rows, in device pixels, went to the server.
    void outlineSet(const std::vector<Box>& deviceRows);
    // Hidden parts of the window may have come to light.
    void repaint();
    // Qt sets the window's events anew when its flags change.
    void selectEvents();

  private:
    void setBackground(std::uint32_t pixmap);
    void paint(const std::vector<Box>& area);

    bool active_ = false;
    bool serverPaints_ = false;
    std::uint32_t window_ = 0;
    std::uint32_t eventMask_ = 0;
    std::uint32_t image_ = 0; // the server's pixmap
    std::uint32_t gc_ = 0;
    bool clipped_ = false;
    Size size_;
    std::vector<Box> shown_; // the device pixels the outline shows now
};

// Sets the window's bounding shape on the X server to the rows (the program's pixels, banded
// top to bottom as the core makes them), or clears it for none; Qt's mask would send them
// unsorted through a QRegion at every tick. The painting learns the rows in device pixels.
// False without an X server.
bool setX11Outline(QWidget& window, const std::optional<std::vector<Box>>& rows,
                   X11ServerPainting& painting);

// Sends what the program has queued for the X server now; Qt would wait for its next flush.
void flushX11();

} // namespace kivo::qt
