#include "main_window.h"

#include "core/system/utf16.h"
#include "core/window/display_scale.h"
#include "core/window/form_kivo.h"
#include "dpi.h"
#include "resource_ids.h"
#include "system_cursor.h"
#include "window_region.h"

#include <commctrl.h>
#include <cstring>
#include <wtsapi32.h>

namespace kivo::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KivoFormKivo";
// GUID_CONSOLE_DISPLAY_STATE: the display on, off or dimmed.
constexpr GUID kConsoleDisplayState{
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// Windows 8 and later hide a window on another virtual desktop by cloaking it, and tell the
// hooks of that event. The hook hears every process (Wine tells a hook limited to the
// window's process nothing), keeps what concerns its own windows and hands it to the window.
constexpr DWORD kEventCloaked = 0x8017;   // EVENT_OBJECT_CLOAKED
constexpr DWORD kEventUncloaked = 0x8018; // EVENT_OBJECT_UNCLOAKED
constexpr UINT kCloakedMessage = WM_APP + 1;

void CALLBACK onCloakEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                           DWORD) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (object == OBJID_WINDOW && child == CHILDID_SELF && process == GetCurrentProcessId()) {
        PostMessageW(window, kCloakedMessage, event == kEventCloaked, 0);
    }
}

COLORREF colourRef(Colour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

GdiObject<HBITMAP> bitmapResource(int id) {
    return GdiObject<HBITMAP>(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

HICON iconResource(int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    // Shared: the system keeps it for the process, and it is never destroyed.
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KIVO),
                                         IMAGE_ICON, size, size, LR_SHARED));
}

// Children stack in the order they are raised: the last raised lies on top.
void raise(HWND control) {
    SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Edges that meet in the program's pixels meet in device pixels too.
void place(HWND control, const WindowBounds& bounds, int dpi) {
    const Box box = toDevicePixels(
        Box{bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height}, dpi);
    SetWindowPos(control, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

MainWindow::MainWindow() {
    registerClass(kClassName, 0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE),
                  iconResource(SM_CXICON), iconResource(SM_CXSMICON));
    // The system's default place for a borderless window is the screen's top-left corner.
    createWindow(0, kClassName, L"", WS_POPUP | WS_CLIPCHILDREN,
                 {0, 0, kDesignWindow.width, kDesignWindow.height}, nullptr);
    if (hwnd() == nullptr) {
        return;
    }
    dpi_ = windowDpi(hwnd());
    WTSRegisterSessionNotification(hwnd(), NOTIFY_FOR_THIS_SESSION);
    displayNotification_ = RegisterPowerSettingNotification(hwnd(), &kConsoleDisplayState,
                                                            DEVICE_NOTIFY_WINDOW_HANDLE);
    cloakHook_ = SetWinEventHook(kEventCloaked, kEventUncloaked, nullptr, onCloakEvent, 0, 0,
                                 WINEVENT_OUTOFCONTEXT);
    tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
    for (const ControlSpec& spec : kControls) {
        const HWND control = createControl(spec, spec.parent ? panel1.hwnd() : hwnd());
        raise(control);
        if (spec.tooltip != nullptr) {
            addTooltip(control, toWide(spec.tooltip));
        }
    }
    layOut({kDesignWindow.width, kDesignWindow.height});
}

void MainWindow::layOut(Size window) {
    SetWindowPos(hwnd(), nullptr, 0, 0, toDevicePixels(window.width, dpi_),
                 toDevicePixels(window.height, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const ControlSpec& spec : kControls) {
        switch (spec.kind) {
        case ControlKind::Picture:
            picture(spec.control).setDpi(dpi_);
            break;
        case ControlKind::Panel:
            panel1.setDpi(dpi_);
            place(panel1.hwnd(),
                  {panelPosition_.x, panelPosition_.y, spec.bounds.width, spec.bounds.height},
                  dpi_);
            break;
        case ControlKind::Label:
            SendMessageW(label1_, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(spec.font)), TRUE);
            place(label1_, spec.bounds, dpi_);
            break;
        case ControlKind::Button:
            button(spec.control).setFont(fontFor(spec.font));
            place(button(spec.control).hwnd(), spec.bounds, dpi_);
            break;
        }
    }
    // The tooltip takes the new font before the old one goes.
    const NONCLIENTMETRICSW metrics = nonClientMetrics(dpi_);
    GdiObject<HFONT> tooltipFont(CreateFontIndirectW(&metrics.lfStatusFont));
    SendMessageW(tooltip_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(tooltipFont.get()), FALSE);
    tooltipFont_ = std::move(tooltipFont);
}

void MainWindow::setOutline(const Outline& outline) {
    outline_ = outline;
    setWindowOutline(hwnd(), outline, dpi_);
}

void MainWindow::setPanelPosition(Point topLeft) {
    panelPosition_ = topLeft;
    const Point device{toDevicePixels(topLeft.x, dpi_), toDevicePixels(topLeft.y, dpi_)};
    SetWindowPos(panel1.hwnd(), nullptr, device.x, device.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND MainWindow::createControl(const ControlSpec& spec, HWND parent) {
    switch (spec.kind) {
    case ControlKind::Picture: {
        PictureControl& control = picture(spec.control);
        control.create(parent, spec.control, {spec.bounds.left, spec.bounds.top},
                       bitmapResource(spec.control == Control::Image1 ? IDB_DESIGN_PICTURE
                                                                      : IDB_START_BUTTON));
        control.setCursor(systemCursor(spec.cursor.value_or(CursorShape::Hand)));
        return control.hwnd();
    }
    case ControlKind::Panel:
        panel1.create(parent, spec.bounds);
        panel1.setCursor(systemCursor(spec.cursor.value_or(CursorShape::Arrow)));
        return panel1.hwnd();
    case ControlKind::Label: {
        // The panel paints its labels' text.
        panel1.setLabelColour(colourRef(spec.textColour));
        const WindowBounds& b = spec.bounds;
        label1_ =
            CreateWindowExW(0, L"STATIC", toWide(spec.caption).c_str(),
                            WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, b.left, b.top, b.width,
                            b.height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        return label1_;
    }
    case ControlKind::Button:
        break;
    }
    SpeedButton& control = button(spec.control);
    control.create(parent, spec.control, toWide(spec.caption), spec.bounds,
                   colourRef(spec.textColour),
                   systemCursor(spec.cursor.value_or(CursorShape::Hand)));
    return control.hwnd();
}

PictureControl& MainWindow::picture(Control control) {
    return control == Control::Image1 ? image1 : image2;
}

SpeedButton& MainWindow::button(Control control) {
    switch (control) {
    case Control::SpeedButton1:
        return speedButton1;
    case Control::SpeedButton3:
        return speedButton3;
    default:
        return speedButton2;
    }
}

HFONT MainWindow::fontFor(const ControlFont& font) {
    for (const ScaledFont& made : fonts_) {
        if (made.font == font && made.dpi == dpi_) {
            return made.handle.get();
        }
    }
    LOGFONTW face{};
    // The characters' height, not the cell's.
    face.lfHeight = -toDevicePixels(font.pixelHeight, dpi_);
    face.lfCharSet = font.cyrillic ? RUSSIAN_CHARSET : DEFAULT_CHARSET;
    lstrcpynW(face.lfFaceName, toWide(font.face).c_str(), LF_FACESIZE);
    fonts_.push_back({font, dpi_, GdiObject<HFONT>(CreateFontIndirectW(&face))});
    return fonts_.back().handle.get();
}

void MainWindow::bind(ControlInput& input) {
    image1.bind(input);
    image2.bind(input);
    speedButton1.bind(input);
    speedButton3.bind(input);
    speedButton2.bind(input);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        OnTimer(wParam);
        return 0;
    }
    if (message == WM_DISPLAYCHANGE && onDisplayChange) {
        onDisplayChange();
        return 0;
    }
    if (message == WM_DPICHANGED) {
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    if (message == WM_WTSSESSION_CHANGE) {
        OnSessionChange(wParam);
        return 0;
    }
    if (message == WM_POWERBROADCAST && wParam == PBT_POWERSETTINGCHANGE) {
        OnPowerSettingChange(*reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam));
        return TRUE;
    }
    if (message == kCloakedMessage) {
        cloaked_ = wParam != 0;
        updateSeen();
        return 0;
    }
    if (message == WM_DESTROY) {
        OnDestroy();
        return 0;
    }
    return WindowBase::handleMessage(message, wParam, lParam);
}

void MainWindow::OnTimer(UINT_PTR id) {
    if (id == kTimer1 && onTimer1) {
        onTimer1();
    }
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    const Size size{toLogicalPixels(rect.right - rect.left, dpi_),
                    toLogicalPixels(rect.bottom - rect.top, dpi_)};
    POINT topLeft{suggested.left, suggested.top};
    POINT mouse{};
    // Dragged onto the monitor: the picture's point under the mouse stays under it.
    if (GetCapture() == image1.hwnd() && GetCursorPos(&mouse)) {
        topLeft = {mouse.x - toDevicePixels(toLogicalPixels(mouse.x - rect.left, dpi_), dpi),
                   mouse.y - toDevicePixels(toLogicalPixels(mouse.y - rect.top, dpi_), dpi)};
    }
    dpi_ = dpi;
    layOut(size);
    SetWindowPos(hwnd(), nullptr, topLeft.x, topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The region was in the old DPI's device pixels.
    setOutline(outline_);
}

void MainWindow::OnSessionChange(WPARAM change) {
    if (change == WTS_SESSION_LOCK || change == WTS_SESSION_UNLOCK) {
        locked_ = change == WTS_SESSION_LOCK;
        updateSeen();
    }
}

void MainWindow::OnPowerSettingChange(const POWERBROADCAST_SETTING& setting) {
    if (IsEqualGUID(setting.PowerSetting, kConsoleDisplayState) &&
        setting.DataLength >= sizeof(DWORD)) {
        DWORD state = 0;
        std::memcpy(&state, setting.Data, sizeof state);
        displayOff_ = state == 0;
        updateSeen();
    }
}

void MainWindow::updateSeen() {
    const bool seen = !locked_ && !displayOff_ && !cloaked_;
    if (seen != seen_) {
        seen_ = seen;
        if (onSeenChanged) {
            onSeenChanged(seen);
        }
    }
}

void MainWindow::OnDestroy() {
    WTSUnRegisterSessionNotification(hwnd());
    if (displayNotification_ != nullptr) {
        UnregisterPowerSettingNotification(displayNotification_);
    }
    if (cloakHook_ != nullptr) {
        UnhookWinEvent(cloakHook_);
    }
    KillTimer(hwnd(), kTimer1);
    PostQuitMessage(0);
}

void MainWindow::addTooltip(HWND control, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    // The tooltip keeps its own copy.
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace kivo::win32
