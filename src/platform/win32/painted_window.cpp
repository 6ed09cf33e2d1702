#include "painted_window.h"

namespace kivo::win32 {

LRESULT PaintedWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT:
        paintContent(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    return WindowBase::handleMessage(message, wParam, lParam);
}

void PaintedWindow::OnPaint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd(), &paint);
    paintContent(dc);
    EndPaint(hwnd(), &paint);
}

} // namespace kivo::win32
