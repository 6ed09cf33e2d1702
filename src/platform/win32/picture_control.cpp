#include "picture_control.h"

#include <cstdlib>
#include <utility>
#include <windowsx.h>

namespace kivo::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KivoPicture";

enum class ButtonEvent { Down, DoubleClick, Up };

struct ButtonMessage {
    UINT message;
    MouseButton button;
    ButtonEvent event;
};

constexpr ButtonMessage kButtonMessages[] = {
    {WM_LBUTTONDOWN, MouseButton::Left, ButtonEvent::Down},
    {WM_RBUTTONDOWN, MouseButton::Right, ButtonEvent::Down},
    {WM_MBUTTONDOWN, MouseButton::Middle, ButtonEvent::Down},
    {WM_LBUTTONDBLCLK, MouseButton::Left, ButtonEvent::DoubleClick},
    {WM_RBUTTONDBLCLK, MouseButton::Right, ButtonEvent::DoubleClick},
    {WM_MBUTTONDBLCLK, MouseButton::Middle, ButtonEvent::DoubleClick},
    {WM_LBUTTONUP, MouseButton::Left, ButtonEvent::Up},
    {WM_RBUTTONUP, MouseButton::Right, ButtonEvent::Up},
    {WM_MBUTTONUP, MouseButton::Middle, ButtonEvent::Up},
};

} // namespace

void PictureControl::create(HWND parent, Control control, Point topLeft,
                            GdiObject<HBITMAP> bitmap) {
    control_ = control;
    registerClass(kClassName, CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW), nullptr);
    createWindow(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                 {topLeft.x, topLeft.y, 0, 0}, parent);
    setBitmap(std::move(bitmap));
}

void PictureControl::setBitmap(GdiObject<HBITMAP> bitmap) {
    BITMAP info{};
    GetObjectW(bitmap.get(), sizeof info, &info);
    // A top-down bitmap reports a negative height.
    size_ = {static_cast<int>(info.bmWidth), std::abs(static_cast<int>(info.bmHeight))};
    bitmap_ = std::move(bitmap);
    SetWindowPos(hwnd(), nullptr, 0, 0, size_.width, size_.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT PictureControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const ButtonMessage& known : kButtonMessages) {
        if (known.message == message) {
            if (known.event == ButtonEvent::Up) {
                OnButtonUp(known.button, lParam);
            } else if (known.event == ButtonEvent::DoubleClick) {
                OnButtonDoubleClick(known.button, lParam);
            } else {
                OnButtonDown(known.button, lParam);
            }
            return 0;
        }
    }
    if (message == WM_MOUSEMOVE) {
        OnMouseMove(lParam);
        return 0;
    }
    return PaintedWindow::handleMessage(message, wParam, lParam);
}

void PictureControl::OnButtonDown(MouseButton button, LPARAM position) {
    if (button == MouseButton::Left) {
        // Captured, so that a drag keeps its moves when the mouse outruns the window.
        SetCapture(hwnd());
    }
    if (input_ != nullptr) {
        input_->press(control_, button, {GET_X_LPARAM(position), GET_Y_LPARAM(position)});
    }
}

void PictureControl::OnButtonDoubleClick(MouseButton button, LPARAM position) {
    // The system sends this in place of the second press.
    if (input_ != nullptr && input_->doubleClick(control_, button)) {
        OnButtonDown(button, position);
    }
}

void PictureControl::OnMouseMove(LPARAM position) {
    if (input_ != nullptr) {
        input_->move(control_, {GET_X_LPARAM(position), GET_Y_LPARAM(position)});
    }
}

void PictureControl::OnButtonUp(MouseButton button, LPARAM position) {
    const POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (button == MouseButton::Left && GetCapture() == hwnd()) {
        ReleaseCapture();
    }
    if (input_ != nullptr) {
        input_->release(control_, button, {at.x, at.y}, PtInRect(&client, at) != FALSE);
    }
}

void PictureControl::paintContent(HDC dc) const {
    if (!bitmap_) {
        return;
    }
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(memory, bitmap_.get());
    BitBlt(dc, 0, 0, size_.width, size_.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

} // namespace kivo::win32
