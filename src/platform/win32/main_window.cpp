#include "main_window.h"

#include "core/system/utf16.h"
#include "core/window/form_kivo.h"
#include "resource_ids.h"
#include "system_cursor.h"

#include <commctrl.h>

namespace kivo::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KivoFormKivo";

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
        return panel1.hwnd();
    case ControlKind::Label: {
        // The panel paints its labels' text.
        panel1.setLabelColour(colourRef(spec.textColour));
        const WindowBounds& b = spec.bounds;
        const HWND label =
            CreateWindowExW(0, L"STATIC", toWide(spec.caption).c_str(),
                            WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, b.left, b.top, b.width,
                            b.height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(spec.font)), FALSE);
        return label;
    }
    case ControlKind::Button:
        break;
    }
    SpeedButton& control = button(spec.control);
    control.create(parent, spec.control, toWide(spec.caption), spec.bounds, fontFor(spec.font),
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
    for (const auto& [spec, handle] : fonts_) {
        if (spec == font) {
            return handle.get();
        }
    }
    LOGFONTW face{};
    face.lfHeight = -font.pixelHeight; // the characters' height, not the cell's
    face.lfCharSet = font.cyrillic ? RUSSIAN_CHARSET : DEFAULT_CHARSET;
    lstrcpynW(face.lfFaceName, toWide(font.face).c_str(), LF_FACESIZE);
    fonts_.emplace_back(font, GdiObject<HFONT>(CreateFontIndirectW(&face)));
    return fonts_.back().second.get();
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

void MainWindow::OnDestroy() {
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
