#include "main_window.h"

#include "core/window/form_kivo.h"
#include "resource_ids.h"

#include <commctrl.h>

namespace kivo::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KivoFormKivo";
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kBlue = RGB(0, 0, 255);

GdiObject<HFONT> timesNewRoman(int pixelHeight, BYTE charset) {
    LOGFONTW font{};
    font.lfHeight = -pixelHeight; // the characters' height, not the cell's
    font.lfCharSet = charset;
    lstrcpyW(font.lfFaceName, L"Times New Roman");
    return GdiObject<HFONT>(CreateFontIndirectW(&font));
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

MainWindow::MainWindow()
    : labelFont_(timesNewRoman(16, RUSSIAN_CHARSET)),
      buttonFont_(timesNewRoman(13, DEFAULT_CHARSET)) {
    registerClass(kClassName, 0, nullptr, GetSysColorBrush(COLOR_BTNFACE), iconResource(SM_CXICON),
                  iconResource(SM_CXSMICON));
    // The system's default place for a borderless window is the screen's top-left corner.
    createWindow(0, kClassName, L"", WS_POPUP | WS_CLIPCHILDREN,
                 {0, 0, kDesignWindow.width, kDesignWindow.height}, nullptr);
    if (hwnd() != nullptr) {
        createControls();
    }
}

void MainWindow::setCursor(HCURSOR cursor) {
    cursor_ = cursor;
    showCursorIfHovered(cursor);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
            return TRUE;
        }
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return WindowBase::handleMessage(message, wParam, lParam);
}

bool MainWindow::OnSetCursor(HWND window, UINT hitTest) {
    // The controls set their own cursors.
    if (window != hwnd() || hitTest != HTCLIENT) {
        return false;
    }
    SetCursor(cursor_);
    return true;
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

void MainWindow::createControls() {
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    image1.create(hwnd(), {0, 0}, bitmapResource(IDB_DESIGN_PICTURE));
    image1.setCursor(hand);
    raise(image1.hwnd());
    image2.create(hwnd(), {0, 0}, bitmapResource(IDB_START_BUTTON));
    image2.setCursor(hand);
    raise(image2.hwnd());
    panel1.create(
        hwnd(),
        {kDesignPanelPosition.x, kDesignPanelPosition.y, kPanelSize.width, kPanelSize.height},
        kNavy);
    raise(panel1.hwnd());

    const HWND label1 =
        CreateWindowExW(0, L"STATIC", L"Настрой:", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                        10, 1, 60, 19, panel1.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(label1, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()), FALSE);
    speedButton1.create(panel1.hwnd(), L"Картинка", {4, 20, 70, 20}, buttonFont_.get(), kBlue);
    speedButton3.create(panel1.hwnd(), L"Форма", {4, 40, 70, 20}, buttonFont_.get(), kBlue);
    speedButton2.create(panel1.hwnd(), L"Проверить", {4, 60, 70, 22}, buttonFont_.get(), kBlue);

    tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
    addTooltip(image1.hwnd(),
               L" Двойной щелчок - закрыть, правая - поставить/снять поверх всех, левая - "
               L"переместить   ");
    addTooltip(image2.hwnd(), L" СТАРТ ");
}

void MainWindow::addTooltip(HWND control, const wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace kivo::win32
