#pragma once

#include "core/window/control_input.h"
#include "gdi_object.h"
#include "painted_window.h"

namespace kivo::win32 {

// A picture control that sizes itself to its bitmap and reports the mouse in its own
// coordinates.
class PictureControl : public PaintedWindow {
  public:
    void create(HWND parent, Control control, Point topLeft, GdiObject<HBITMAP> bitmap);
    // The control owns the bitmap from now on and takes its size.
    void setBitmap(GdiObject<HBITMAP> bitmap);
    Size size() const { return size_; }

    void bind(ControlInput& input) { input_ = &input; }

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnButtonDown(MouseButton button, LPARAM position);
    void OnButtonDoubleClick(MouseButton button, LPARAM position);
    void OnMouseMove(LPARAM position);
    void OnButtonUp(MouseButton button, LPARAM position);
    void paintContent(HDC dc) const override;

    Control control_ = Control::Image1;
    ControlInput* input_ = nullptr;
    GdiObject<HBITMAP> bitmap_;
    Size size_;
};

} // namespace kivo::win32
