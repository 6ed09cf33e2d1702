#include "core/system/utf16.h"
#include "core/window/form_kivo.h"
#include "win32_desktop.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&commonControls); // the tooltip class

    kivo::win32::Win32Desktop desktop;
    const HWND window = desktop.window().hwnd();
    if (window == nullptr) {
        return 1;
    }
    kivo::TFormKivo form(desktop);
    desktop.connect(form);
    // The task bar shows the window's text.
    SetWindowTextW(window, kivo::toWide(form.applicationTitle()).c_str());

    form.dispatch([&] { form.FormCreate(); });
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
