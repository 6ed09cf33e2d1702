#pragma once

#include "core/geometry.h"
#include "core/window/display_scale.h"
#include "core/window/message_dialog.h"
#include "gdi_object.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>
#include <windows.h>

namespace kivo::win32 {

// The program's message dialog, built at run time from the core's model: icon left of the
// text, equal-width buttons centred below, the model's button focused. The dialog manager
// gives Enter, Tab, the arrows and the "&" mnemonics; Esc and the close box answer as the
// model says. Ctrl+C copies the box, as the system's own boxes do.
class MessageDialog {
  public:
    explicit MessageDialog(const DialogModel& model);

    // Modal over the owner (disabled meanwhile), centred on the screen.
    ModalResult run(HWND owner);

  private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    // Sees the keys of the dialog's own loop before the dialog manager does.
    static LRESULT CALLBACK keyFilter(int code, WPARAM wParam, LPARAM lParam) noexcept;
    void copyToClipboard() const;
    BOOL OnInitDialog();
    void OnCommand(int id);
    void OnClose();
    void createControls();
    SIZE measureText(const std::wstring& text) const;
    // The width of the widest caption (at least a standard button's) and the buttons' height.
    SIZE measureButtons() const;
    void placeCentred(int clientWidth, int clientHeight);
    HWND createControl(const wchar_t* className, const std::wstring& text, DWORD style,
                       WindowBounds bounds, int id);
    // A length of the layout, given for 96 DPI, at the dialog's DPI.
    int scaled(int length) const;

    struct IconDestroyer {
        void operator()(HICON icon) const { DestroyIcon(icon); }
    };

    const DialogModel& model_;
    HWND dialog_ = nullptr;
    int dpi_ = kDesignDpi;
    GdiObject<HFONT> font_;
    std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer> icon_;
    std::vector<HWND> buttons_;
    // The dialog whose loop runs now; another may open over it.
    static inline MessageDialog* shown_ = nullptr;
};

} // namespace kivo::win32
