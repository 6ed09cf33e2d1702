#pragma once

#include "painted_window.h"

namespace kivo::win32 {

// A raised panel with a bevel two pixels wide, on the button face; the text labels on it
// draw in one colour.
class PanelControl : public PaintedWindow {
  public:
    void create(HWND parent, WindowBounds bounds);
    void setLabelColour(COLORREF colour) { labelColour_ = colour; }
    // The bevel's width at the DPI.
    void setDpi(int dpi);

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    HBRUSH OnCtlColorStatic(HDC dc);
    void paintContent(HDC dc) const override;

    COLORREF labelColour_ = 0;
    int bevelWidth_ = 2;
};

} // namespace kivo::win32
