#pragma once

#include "core/window/control_input.h"
#include "painted_window.h"

#include <string>

namespace kivo::win32 {

// A push button that never takes the keyboard focus: it draws itself, follows the mouse
// while held, and clicks when released over itself.
class SpeedButton : public PaintedWindow {
  public:
    // Every button shows the cursor of the first one made.
    void create(HWND parent, Control control, const std::wstring& text, WindowBounds bounds,
                COLORREF textColour, HCURSOR cursor);
    // The font stays the caller's.
    void setFont(HFONT font);
    void bind(ControlInput& input) { input_ = &input; }

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnLButtonDown();
    void OnMouseMove(LPARAM position);
    void OnLButtonUp(LPARAM position);
    void OnCaptureChanged();
    void paintContent(HDC dc) const override;
    bool contains(LPARAM position) const;
    void setSunken(bool sunken);

    Control control_ = Control::SpeedButton1;
    ControlInput* input_ = nullptr;
    std::wstring text_;
    HFONT font_ = nullptr;
    COLORREF textColour_ = 0;
    bool held_ = false;   // the left button went down here and is still down
    bool sunken_ = false; // held and over the button: drawn pressed
};

} // namespace kivo::win32
