#pragma once

#include "window_base.h"

namespace kivo::win32 {

// A raised panel with a bevel two pixels wide, on the button face; the text labels on it
// draw in one colour.
class PanelControl : public WindowBase {
  public:
    void create(HWND parent, WindowBounds bounds, COLORREF labelColour);

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnPaint();
    void OnPrintClient(HDC dc);
    HBRUSH OnCtlColorStatic(HDC dc);
    void paintContent(HDC dc) const;

    COLORREF labelColour_ = 0;
};

} // namespace kivo::win32
