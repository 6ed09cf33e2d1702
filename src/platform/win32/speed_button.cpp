#include "speed_button.h"

#include <windowsx.h>

namespace kivo::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KivoSpeedButton";

} // namespace

void SpeedButton::create(HWND parent, Control control, const std::wstring& text,
                         WindowBounds bounds, COLORREF textColour, HCURSOR cursor) {
    control_ = control;
    text_ = text;
    textColour_ = textColour;
    registerClass(kClassName, 0, cursor, nullptr);
    createWindow(0, kClassName, text.c_str(), WS_CHILD | WS_VISIBLE, bounds, parent);
}

void SpeedButton::setFont(HFONT font) {
    font_ = font;
    InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT SpeedButton::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLButtonDown();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(lParam);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged();
        return 0;
    }
    return PaintedWindow::handleMessage(message, wParam, lParam);
}

void SpeedButton::OnLButtonDown() {
    held_ = true;
    SetCapture(hwnd());
    setSunken(true);
}

void SpeedButton::OnMouseMove(LPARAM position) {
    if (held_) {
        setSunken(contains(position));
    }
}

void SpeedButton::OnLButtonUp(LPARAM position) {
    const bool click = held_ && contains(position);
    if (GetCapture() == hwnd()) {
        ReleaseCapture();
    }
    if (click && input_ != nullptr) {
        input_->click(control_);
    }
}

void SpeedButton::OnCaptureChanged() {
    held_ = false;
    setSunken(false);
}

void SpeedButton::paintContent(HDC dc) const {
    RECT face{};
    GetClientRect(hwnd(), &face);
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (sunken_ ? DFCS_PUSHED : 0));
    if (sunken_) {
        OffsetRect(&face, 1, 1);
    }
    const HGDIOBJ previousFont = SelectObject(dc, font_);
    SetTextColor(dc, textColour_);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &face,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previousFont);
}

bool SpeedButton::contains(LPARAM position) const {
    RECT client{};
    GetClientRect(hwnd(), &client);
    return PtInRect(&client, POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)}) != FALSE;
}

void SpeedButton::setSunken(bool sunken) {
    if (sunken != sunken_) {
        sunken_ = sunken;
        InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

} // namespace kivo::win32
