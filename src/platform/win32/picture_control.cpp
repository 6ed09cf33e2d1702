#include "picture_control.h"

#include <cstdlib>
#include <utility>
#include <windowsx.h>

namespace kivo::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KivoPicture";
// Larger scaled copies would cost more memory than painting scaled each time costs time.
constexpr long long kMaxScaledPixels = 4096LL * 4096;

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

// Stretched with the system's smooth filter.
void stretch(HDC target, Size to, HDC source, Size from) {
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, 0, 0, to.width, to.height, source, 0, 0, from.width, from.height, SRCCOPY);
}

GdiObject<HBITMAP> scaledCopy(HBITMAP bitmap, Size from, Size to) {
    const HDC screen = GetDC(nullptr);
    GdiObject<HBITMAP> copy(CreateCompatibleBitmap(screen, to.width, to.height));
    if (copy) {
        const HDC source = CreateCompatibleDC(screen);
        const HDC target = CreateCompatibleDC(screen);
        const HGDIOBJ previousSource = SelectObject(source, bitmap);
        const HGDIOBJ previousTarget = SelectObject(target, copy.get());
        stretch(target, to, source, from);
        SelectObject(source, previousSource);
        SelectObject(target, previousTarget);
        DeleteDC(source);
        DeleteDC(target);
    }
    ReleaseDC(nullptr, screen);
    return copy;
}

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
    fit();
}

void PictureControl::setDpi(int dpi) {
    dpi_ = dpi;
    fit();
}

void PictureControl::fit() {
    deviceSize_ = {toDevicePixels(size_.width, dpi_), toDevicePixels(size_.height, dpi_)};
    scaled_.reset();
    if (bitmap_ && dpi_ != kDesignDpi &&
        static_cast<long long>(deviceSize_.width) * deviceSize_.height <= kMaxScaledPixels) {
        scaled_ = scaledCopy(bitmap_.get(), size_, deviceSize_);
    }
    SetWindowPos(hwnd(), nullptr, 0, 0, deviceSize_.width, deviceSize_.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

Point PictureControl::pointAt(LPARAM position) const {
    return {toLogicalPixels(GET_X_LPARAM(position), dpi_),
            toLogicalPixels(GET_Y_LPARAM(position), dpi_)};
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
        input_->press(control_, button, pointAt(position));
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
        input_->move(control_, pointAt(position));
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
        input_->release(control_, button, pointAt(position), PtInRect(&client, at) != FALSE);
    }
}

void PictureControl::paintContent(HDC dc) const {
    if (!bitmap_) {
        return;
    }
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(memory, scaled_ ? scaled_.get() : bitmap_.get());
    if (scaled_ || dpi_ == kDesignDpi) {
        BitBlt(dc, 0, 0, deviceSize_.width, deviceSize_.height, memory, 0, 0, SRCCOPY);
    } else {
        stretch(dc, deviceSize_, memory, size_);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
}

} // namespace kivo::win32
