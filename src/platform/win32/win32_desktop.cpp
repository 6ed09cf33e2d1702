#include "win32_desktop.h"

#include "bitmap_file.h"
#include "core/error.h"
#include "core/system/files.h"
#include "core/system/utf16.h"
#include "core/window/display_scale.h"
#include "core/window/form_kivo.h"
#include "dpi.h"
#include "open_dialog.h"
#include "registry_autostart.h"
#include "system_cursor.h"
#include "win32_message_dialog.h"

namespace kivo::win32 {

namespace {

void setVisible(HWND control, bool visible) {
    ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

} // namespace

void Win32Desktop::connect(TFormKivo& form) {
    FormInput& input = input_.emplace(form);
    window_.bind(input);
    window_.onDisplayChange = [&input] { input.screensChanged(); };
    window_.onSeenChanged = [&input](bool seen) { input.seenChanged(seen); };
    window_.onTimer1 = [this, &input] {
        // KillTimer leaves a WM_TIMER that is already queued where it is.
        if (timerEnabled_) {
            input.timer();
        }
    };
}

std::string Win32Desktop::executablePath() const {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return fromWide(path);
        }
        path.resize(path.size() * 2); // cut short: try a larger buffer
    }
}

Size Win32Desktop::screenSize() const {
    const Box primary = logicalArea(monitorOf(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY)));
    return {primary.right - primary.left, primary.bottom - primary.top};
}

std::vector<Box> Win32Desktop::screens() const {
    std::vector<Box> boxes;
    for (const Monitor& monitor : monitors()) {
        boxes.push_back(logicalArea(monitor));
    }
    return boxes;
}

int Win32Desktop::displayDepth() const {
    const HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return depth;
}

Monitor Win32Desktop::windowMonitor() const {
    Monitor monitor = monitorOf(MonitorFromWindow(window_.hwnd(), MONITOR_DEFAULTTONEAREST));
    monitor.dpi = window_.dpi();
    return monitor;
}

WindowBounds Win32Desktop::windowBounds() const {
    RECT rect{};
    GetWindowRect(window_.hwnd(), &rect);
    const Point topLeft = toLogicalPlace({rect.left, rect.top}, windowMonitor());
    return {topLeft.x, topLeft.y, toLogicalPixels(rect.right - rect.left, window_.dpi()),
            toLogicalPixels(rect.bottom - rect.top, window_.dpi())};
}

void Win32Desktop::setWindowBounds(const WindowBounds& bounds) {
    RECT rect{};
    GetWindowRect(window_.hwnd(), &rect);
    const WindowBounds now = windowBounds();
    // What reads back as asked stays where it is: a round trip through the program's pixels
    // must not move the window by a device pixel.
    Point topLeft{rect.left, rect.top};
    if (now.left != bounds.left || now.top != bounds.top) {
        Monitor monitor = windowMonitor();
        for (const Monitor& other : monitors()) {
            const Box area = logicalArea(other);
            if (bounds.left >= area.left && bounds.left < area.right && bounds.top >= area.top &&
                bounds.top < area.bottom) {
                monitor = other;
                break;
            }
        }
        topLeft = toDevicePlace({bounds.left, bounds.top}, monitor);
    }
    const int width = now.width == bounds.width ? rect.right - rect.left
                                                : toDevicePixels(bounds.width, window_.dpi());
    const int height = now.height == bounds.height ? rect.bottom - rect.top
                                                   : toDevicePixels(bounds.height, window_.dpi());
    SetWindowPos(window_.hwnd(), nullptr, topLeft.x, topLeft.y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Desktop::closeWindow() {
    DestroyWindow(window_.hwnd());
}

void Win32Desktop::setWindowOutline(const Outline& outline) {
    window_.setOutline(outline);
}

void Win32Desktop::setWindowLevel(WindowLevel level) {
    SetWindowPos(window_.hwnd(), level == WindowLevel::Topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0,
                 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Desktop::setWindowCursor(CursorShape cursor) {
    window_.setCursor(systemCursor(cursor));
}

bool Win32Desktop::loadPicture(const std::string& path) {
    GdiObject<HBITMAP> bitmap = bitmapFromFile(readWholeFile(path));
    if (!bitmap) {
        return false;
    }
    window_.image1.setBitmap(std::move(bitmap));
    return true;
}

Size Win32Desktop::pictureSize() const {
    return window_.image1.size();
}

void Win32Desktop::setPictureVisible(bool visible) {
    setVisible(window_.image1.hwnd(), visible);
}

void Win32Desktop::setPictureCursor(CursorShape cursor) {
    window_.image1.setCursor(systemCursor(cursor));
}

void Win32Desktop::setStartButtonVisible(bool visible) {
    setVisible(window_.image2.hwnd(), visible);
}

void Win32Desktop::setPanelVisible(bool visible) {
    setVisible(window_.panel1.hwnd(), visible);
}

void Win32Desktop::setPanelPosition(Point topLeft) {
    window_.setPanelPosition(topLeft);
}

void Win32Desktop::setBusy(bool busy) {
    // The work that is busy runs without dispatching messages, so nothing resets the cursor
    // until it is put back here.
    if (busy) {
        cursorBeforeBusy_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else {
        SetCursor(cursorBeforeBusy_);
    }
}

void Win32Desktop::setTimerEnabled(bool enabled) {
    // As a TTimer: enabling a running timer does not restart it.
    if (enabled != timerEnabled_) {
        timerEnabled_ = enabled;
        armTimer1();
    }
}

void Win32Desktop::setTimerInterval(int milliseconds) {
    // A new interval restarts a running timer.
    if (milliseconds != timerInterval_) {
        timerInterval_ = milliseconds;
        armTimer1();
    }
}

void Win32Desktop::armTimer1() {
    if (timerEnabled_) {
        SetTimer(window_.hwnd(), MainWindow::kTimer1, static_cast<UINT>(timerInterval_), nullptr);
    } else {
        KillTimer(window_.hwnd(), MainWindow::kTimer1);
    }
}

void Win32Desktop::processPendingEvents(LetRunPoint) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the message loop, which ends on it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

ModalResult Win32Desktop::showMessageDialog(const DialogModel& model) {
    return MessageDialog(model).run(window_.hwnd());
}

void Win32Desktop::showErrorBox(const std::string& caption, const std::string& text) {
    // At start-up the window is not shown yet; a box it owned would have no task-bar button
    // and could be lost behind other windows.
    const HWND owner = IsWindowVisible(window_.hwnd()) ? window_.hwnd() : nullptr;
    MessageBoxW(owner, toWide(text).c_str(), toWide(caption).c_str(), MB_OK | MB_ICONSTOP);
}

std::optional<std::string> Win32Desktop::runOpenDialog(const OpenDialogModel& model) {
    return win32::runOpenDialog(window_.hwnd(), model);
}

bool Win32Desktop::addAutostart(const std::string& name, const std::string& executable) {
    return writeAutostartValue(kRunKeyPath, name, executable);
}

void Win32Desktop::removeAutostart(const std::string& name) {
    deleteAutostartValue(kRunKeyPath, name);
}

} // namespace kivo::win32
