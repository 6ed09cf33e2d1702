#pragma once

#include "core/desktop.h"
#include "gdi_object.h"
#include "painted_window.h"

#include <functional>

namespace kivo::win32 {

// A picture control that sizes itself to its bitmap and reports the mouse in its own
// coordinates. A double-click arrives as the double-click followed by the second press.
class PictureControl : public PaintedWindow {
  public:
    void create(HWND parent, Point topLeft, GdiObject<HBITMAP> bitmap);
    // The control owns the bitmap from now on and takes its size.
    void setBitmap(GdiObject<HBITMAP> bitmap);
    Size size() const { return size_; }
    void setCursor(HCURSOR cursor);

    std::function<void(MouseButton, int, int)> onPress;
    std::function<void(int, int)> onMove;
    std::function<void(MouseButton, int, int)> onRelease;
    std::function<void()> onDoubleClick;
    std::function<void()> onClick;

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool OnSetCursor(UINT hitTest);
    void OnButtonDown(MouseButton button, LPARAM position);
    void OnButtonDoubleClick(MouseButton button, LPARAM position);
    void OnMouseMove(LPARAM position);
    void OnButtonUp(MouseButton button, LPARAM position);
    void OnCaptureChanged();
    void paintContent(HDC dc) const override;

    GdiObject<HBITMAP> bitmap_;
    Size size_;
    HCURSOR cursor_ = LoadCursorW(nullptr, IDC_ARROW);
    // The left button went down here; its release inside is a click.
    bool pressed_ = false;
};

} // namespace kivo::win32
