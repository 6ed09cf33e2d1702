#pragma once

#include "window_base.h"

namespace kivo::win32 {

// A window that draws itself in one place: WM_PAINT and WM_PRINTCLIENT both end in
// paintContent, so a screen paint and a printed copy never differ.
class PaintedWindow : public WindowBase {
  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void paintContent(HDC dc) const = 0;

  private:
    void OnPaint();
};

} // namespace kivo::win32
