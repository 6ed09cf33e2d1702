#pragma once

#include "core/window/control_input.h"
#include "core/window/display_scale.h"
#include "gdi_object.h"
#include "painted_window.h"

namespace kivo::win32 {

// A picture control that sizes itself to its bitmap, drawn smoothly scaled at its DPI, and
// reports the mouse in the bitmap's pixels.
class PictureControl : public PaintedWindow {
  public:
    void create(HWND parent, Control control, Point topLeft, GdiObject<HBITMAP> bitmap);
    // The control owns the bitmap from now on and takes its size.
    void setBitmap(GdiObject<HBITMAP> bitmap);
    // The bitmap's size, in the program's pixels.
    Size size() const { return size_; }
    void setDpi(int dpi);

    void bind(ControlInput& input) { input_ = &input; }

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnButtonDown(MouseButton button, LPARAM position);
    void OnButtonDoubleClick(MouseButton button, LPARAM position);
    void OnMouseMove(LPARAM position);
    void OnButtonUp(MouseButton button, LPARAM position);
    void paintContent(HDC dc) const override;
    Point pointAt(LPARAM position) const;
    // Sizes the control to the bitmap at dpi_ and makes the scaled copy that it paints.
    void fit();

    Control control_ = Control::Image1;
    ControlInput* input_ = nullptr;
    GdiObject<HBITMAP> bitmap_;
    // The bitmap at dpi_, made once; none at 96 DPI, or when it would be too large to keep.
    GdiObject<HBITMAP> scaled_;
    Size size_;
    Size deviceSize_;
    int dpi_ = kDesignDpi;
};

} // namespace kivo::win32
