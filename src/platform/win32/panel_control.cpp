#include "panel_control.h"

#include "core/window/display_scale.h"

namespace kivo::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KivoPanel";
constexpr int kBevelWidth = 2; // in the program's pixels

} // namespace

void PanelControl::create(HWND parent, WindowBounds bounds) {
    registerClass(kClassName, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr);
    createWindow(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                 bounds, parent);
}

void PanelControl::setDpi(int dpi) {
    bevelWidth_ = toDevicePixels(kBevelWidth, dpi);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT PanelControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE; // painted whole in WM_PAINT
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(OnCtlColorStatic(reinterpret_cast<HDC>(wParam)));
    }
    return PaintedWindow::handleMessage(message, wParam, lParam);
}

HBRUSH PanelControl::OnCtlColorStatic(HDC dc) {
    SetTextColor(dc, labelColour_);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

void PanelControl::paintContent(HDC dc) const {
    RECT rect{};
    GetClientRect(hwnd(), &rect);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    // Each ring is light above and left, shadowed below and right.
    for (int ring = 0; ring < bevelWidth_; ++ring) {
        DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    }
}

} // namespace kivo::win32
