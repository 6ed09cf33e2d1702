#pragma once

#include "core/window/controls.h"
#include "gdi_object.h"
#include "panel_control.h"
#include "picture_control.h"
#include "speed_button.h"
#include "window_base.h"

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace kivo::win32 {

// FormKivo: a borderless top-level window with the controls of the core's table, created
// hidden; behaviour is wired by Win32Desktop.
class MainWindow : public WindowBase {
    // First, so that they outlive the controls that draw with them.
    std::vector<std::pair<ControlFont, GdiObject<HFONT>>> fonts_;

  public:
    static constexpr UINT_PTR kTimer1 = 1;

    MainWindow();

    // Feeds the controls' events to input.
    void bind(ControlInput& input);

    PictureControl image1;
    PictureControl image2;
    PanelControl panel1;
    SpeedButton speedButton1;
    SpeedButton speedButton3;
    SpeedButton speedButton2;
    std::function<void()> onTimer1;
    std::function<void()> onDisplayChange;

  private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    // Makes the control of the table's row and returns its window.
    HWND createControl(const ControlSpec& spec, HWND parent);
    PictureControl& picture(Control control);
    SpeedButton& button(Control control);
    HFONT fontFor(const ControlFont& font);
    void addTooltip(HWND control, const std::wstring& text);

    struct WindowDestroyer {
        void operator()(HWND window) const { DestroyWindow(window); }
    };

    // Not owned by the main window, and so destroyed with this object: under Wine a window
    // that owns a topmost popup cannot be put above all others itself.
    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> tooltip_;
};

} // namespace kivo::win32
