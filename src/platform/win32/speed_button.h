#pragma once

#include "painted_window.h"

#include <functional>
#include <string>

namespace kivo::win32 {

// A push button that never takes the keyboard focus: it draws itself, follows the mouse
// while held, and clicks when released over itself.
class SpeedButton : public PaintedWindow {
  public:
    // The font stays the caller's.
    void create(HWND parent, const std::wstring& text, WindowBounds bounds, HFONT font,
                COLORREF textColour);

    std::function<void()> onClick;

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

    std::wstring text_;
    HFONT font_ = nullptr;
    COLORREF textColour_ = 0;
    bool held_ = false;   // the left button went down here and is still down
    bool sunken_ = false; // held and over the button: drawn pressed
};

} // namespace kivo::win32
