#include "window_base.h"

namespace kivo::win32 {

WindowBase::~WindowBase() {
    if (hwnd_ != nullptr) {
        // Detached first: the messages of the destruction must not reach a dying object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void WindowBase::registerClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background,
                               HICON icon, HICON smallIcon) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(instance, name, &windowClass)) {
        return;
    }
    windowClass.style = style;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

void WindowBase::createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text,
                              DWORD style, WindowBounds bounds, HWND parent) {
    CreateWindowExW(exStyle, className, text, style, bounds.left, bounds.top, bounds.width,
                    bounds.height, parent, nullptr, GetModuleHandleW(nullptr), this);
}

void WindowBase::setCursor(HCURSOR cursor) {
    cursor_ = cursor;
    POINT mouse{};
    GetCursorPos(&mouse);
    if (GetCapture() == hwnd_ || WindowFromPoint(mouse) == hwnd_) {
        SetCursor(cursor);
    }
}

LRESULT WindowBase::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Children show their own cursors.
    if (message == WM_SETCURSOR && cursor_ != nullptr && reinterpret_cast<HWND>(wParam) == hwnd_ &&
        LOWORD(lParam) == HTCLIENT) {
        SetCursor(cursor_);
        return TRUE;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const LRESULT result = self->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

} // namespace kivo::win32
