#include "win32_message_dialog.h"

#include "core/error.h"
#include "core/system/utf16.h"
#include "dpi.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kivo::win32 {

namespace {

// In the pixels of a 96-DPI display.
constexpr int kMargin = 12;
constexpr int kButtonGap = 8;
constexpr int kMinButtonWidth = 75;
constexpr int kMinButtonHeight = 23;
constexpr int kButtonPadding = 12;
// Clear of IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc.
constexpr int kFirstButtonId = 100;
// As a static control with SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL lays its text out, so that
// the measured lines are the shown ones; a path longer than a line breaks inside.
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;

const wchar_t* standardIcon(DialogIcon icon) {
    switch (icon) {
    case DialogIcon::Stop:
        return IDI_HAND;
    case DialogIcon::Information:
        return IDI_ASTERISK;
    case DialogIcon::Question:
        return IDI_QUESTION;
    case DialogIcon::Warning:
        return IDI_EXCLAMATION;
    case DialogIcon::None:
        break;
    }
    return nullptr;
}

// The system's text drawing breaks lines at CR LF.
std::wstring dialogText(const std::string& text) {
    std::wstring lines;
    for (const wchar_t c : toWide(text)) {
        if (c == L'\n') {
            lines += L'\r';
        }
        lines += c;
    }
    return lines;
}

// A dialog template with no controls: the controls are laid out in pixels once the message
// font is known.
std::vector<WORD> emptyTemplate(const std::wstring& title) {
    DLGTEMPLATE header{};
    header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    std::vector<WORD> words(sizeof header / sizeof(WORD));
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0); // no menu
    words.push_back(0); // the standard dialog class
    words.insert(words.end(), title.begin(), title.end());
    words.push_back(0);
    return words;
}

// Results travel through DialogBox as 1 + the result: 0 and -1 mean it failed.
INT_PTR codeOf(ModalResult result) {
    return static_cast<INT_PTR>(result) + 1;
}

} // namespace

MessageDialog::MessageDialog(const DialogModel& model) : model_(model) {}

ModalResult MessageDialog::run(HWND owner) {
    const std::vector<WORD> dialogTemplate = emptyTemplate(toWide(model_.title));
    MessageDialog* const outer = std::exchange(shown_, this);
    const HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, keyFilter, nullptr, GetCurrentThreadId());
    const INT_PTR code = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
        owner, dialogProc, reinterpret_cast<LPARAM>(this));
    if (filter != nullptr) {
        UnhookWindowsHookEx(filter);
    }
    shown_ = outer;
    if (code <= 0) {
        throw KivoError("Cannot show the message dialog");
    }
    return static_cast<ModalResult>(code - 1);
}

INT_PTR CALLBACK MessageDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<MessageDialog*>(lParam);
        self->dialog_ = dialog;
        return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<MessageDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    switch (message) {
    case WM_COMMAND:
        self->OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        self->OnClose();
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK MessageDialog::keyFilter(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == 'C' &&
        (GetKeyState(VK_CONTROL) & 0x8000) != 0 && shown_ != nullptr && message->hwnd != nullptr &&
        GetAncestor(message->hwnd, GA_ROOT) == shown_->dialog_) {
        shown_->copyToClipboard();
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageDialog::copyToClipboard() const {
    std::vector<std::string> captions;
    for (const DialogButtonModel& button : model_.buttons) {
        captions.push_back(button.caption);
    }
    const std::wstring text = dialogText(boxCopyText(model_.title, model_.text, captions));
    if (!OpenClipboard(dialog_)) {
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* locked = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (locked != nullptr) {
        std::memcpy(locked, text.c_str(), bytes);
        GlobalUnlock(memory);
    }
    // The clipboard owns what it took; what it did not take is ours to free.
    if (memory != nullptr &&
        (locked == nullptr || SetClipboardData(CF_UNICODETEXT, memory) == nullptr)) {
        GlobalFree(memory);
    }
    CloseClipboard();
}

BOOL MessageDialog::OnInitDialog() {
    createControls();
    if (model_.focusIndex < buttons_.size()) {
        // Through the dialog manager, so that the focused button is also the default one.
        SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(buttons_[model_.focusIndex]),
                     TRUE);
    }
    return FALSE;
}

void MessageDialog::OnCommand(int id) {
    if (id == IDCANCEL) {
        EndDialog(dialog_, codeOf(model_.escapeResult));
        return;
    }
    const std::size_t index = static_cast<std::size_t>(id - kFirstButtonId);
    if (id >= kFirstButtonId && index < model_.buttons.size()) {
        EndDialog(dialog_, codeOf(model_.buttons[index].result));
    }
}

void MessageDialog::OnClose() {
    EndDialog(dialog_, codeOf(model_.closeResult));
}

void MessageDialog::createControls() {
    dpi_ = windowDpi(dialog_);
    const NONCLIENTMETRICSW metrics = nonClientMetrics(dpi_);
    font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    const int margin = scaled(kMargin);
    const int buttonGap = scaled(kButtonGap);

    const std::wstring text = dialogText(model_.text);
    const SIZE textSize = measureText(text);
    const SIZE buttonSize = measureButtons();
    int iconSize = systemMetric(SM_CXICON, dpi_);
    if (model_.icon != DialogIcon::None) {
        // The system's own icon drawn at the size, the dialog's to destroy.
        icon_.reset(static_cast<HICON>(
            LoadImageW(nullptr, standardIcon(model_.icon), IMAGE_ICON, iconSize, iconSize, 0)));
    }
    const HICON icon = icon_.get();
    iconSize = icon != nullptr ? iconSize : 0;
    const int textLeft = icon != nullptr ? margin + iconSize + margin : margin;
    const int buttonCount = static_cast<int>(model_.buttons.size());
    const int rowWidth = buttonCount * buttonSize.cx + (buttonCount - 1) * buttonGap;
    const int clientWidth =
        std::max(textLeft + static_cast<int>(textSize.cx) + margin, margin + rowWidth + margin);
    const int buttonTop = margin + std::max(iconSize, static_cast<int>(textSize.cy)) + margin;

    // The statics start groups of their own, so that the arrows move among the buttons only.
    if (icon != nullptr) {
        const HWND iconControl = createControl(L"STATIC", L"", WS_GROUP | SS_ICON,
                                               {margin, margin, iconSize, iconSize}, 0);
        SendMessageW(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    createControl(L"STATIC", text, WS_GROUP | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL,
                  {textLeft, margin, static_cast<int>(textSize.cx), static_cast<int>(textSize.cy)},
                  0);
    int left = (clientWidth - rowWidth) / 2;
    for (int i = 0; i < buttonCount; ++i) {
        const DialogButtonModel& button = model_.buttons[static_cast<std::size_t>(i)];
        buttons_.push_back(createControl(
            L"BUTTON", toWide(button.caption), WS_TABSTOP | BS_PUSHBUTTON | (i == 0 ? WS_GROUP : 0),
            {left, buttonTop, static_cast<int>(buttonSize.cx), static_cast<int>(buttonSize.cy)},
            kFirstButtonId + i));
        left += buttonSize.cx + buttonGap;
    }
    placeCentred(clientWidth, buttonTop + buttonSize.cy + margin);
}

SIZE MessageDialog::measureText(const std::wstring& text) const {
    RECT box{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    TEXTMETRICW fontMetrics{};
    const HDC dc = GetDC(dialog_);
    const HGDIOBJ previousFont = SelectObject(dc, font_.get());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kTextFormat | DT_CALCRECT);
    GetTextMetricsW(dc, &fontMetrics);
    SelectObject(dc, previousFont);
    ReleaseDC(dialog_, dc);
    // Room for one more character: Wine draws a line's last letter past the width it measures.
    return {box.right + fontMetrics.tmAveCharWidth, box.bottom};
}

SIZE MessageDialog::measureButtons() const {
    int width = scaled(kMinButtonWidth);
    TEXTMETRICW fontMetrics{};
    const HDC dc = GetDC(dialog_);
    const HGDIOBJ previousFont = SelectObject(dc, font_.get());
    for (const DialogButtonModel& button : model_.buttons) {
        RECT caption{};
        DrawTextW(dc, toWide(button.caption).c_str(), -1, &caption, DT_SINGLELINE | DT_CALCRECT);
        width = std::max(width, static_cast<int>(caption.right) + 2 * scaled(kButtonPadding));
    }
    GetTextMetricsW(dc, &fontMetrics);
    SelectObject(dc, previousFont);
    ReleaseDC(dialog_, dc);
    return {width, std::max(scaled(kMinButtonHeight),
                            static_cast<int>(fontMetrics.tmHeight) + scaled(10))};
}

void MessageDialog::placeCentred(int clientWidth, int clientHeight) {
    const RECT frame = outerRect({0, 0, clientWidth, clientHeight},
                                 static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)),
                                 static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)), dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(dialog_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int MessageDialog::scaled(int length) const {
    return toDevicePixels(length, dpi_);
}

HWND MessageDialog::createControl(const wchar_t* className, const std::wstring& text, DWORD style,
                                  WindowBounds bounds, int id) {
    const HWND control = CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                         bounds.left, bounds.top, bounds.width, bounds.height,
                                         dialog_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

} // namespace kivo::win32
