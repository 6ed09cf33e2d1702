#pragma once

#include "core/geometry.h"

#include <windows.h>

namespace kivo::win32 {

// The scratch-program shape: every window class of the program shares one window procedure,
// which hands each message to the C++ object that created the window (its pointer rides in
// GWLP_USERDATA). hwnd() is null once the window is gone; a window still there when its object
// dies goes with it.
class WindowBase {
  public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The cursor over this window's own client area, shown at once when the mouse is over the
    // window or captured by it (the system asks only when the mouse moves, and never while
    // captured). Until set, the class's cursor.
    void setCursor(HCURSOR cursor);

  protected:
    WindowBase() = default;
    ~WindowBase();

    // Registers the class on first use in the process.
    static void registerClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background,
                              HICON icon = nullptr, HICON smallIcon = nullptr);
    void createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                      WindowBounds bounds, HWND parent);

    // Each override handles its messages with one OnXxx each and passes the rest here.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    // An exception must never unwind through the system's frames; the handlers catch their own
    // (TFormKivo::dispatch), and anything else ends the program here.
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;

    HWND hwnd_ = nullptr;
    HCURSOR cursor_ = nullptr;
};

} // namespace kivo::win32
