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
// hidden and drawn at the DPI of its monitor; behaviour is wired by Win32Desktop.
class MainWindow : public WindowBase {
    struct ScaledFont {
        ControlFont font;
        int dpi;
        GdiObject<HFONT> handle;
    };
    // First, so that they outlive the controls that draw with them.
    std::vector<ScaledFont> fonts_;
    GdiObject<HFONT> tooltipFont_;

  public:
    static constexpr UINT_PTR kTimer1 = 1;

    MainWindow();

    // Feeds the controls' events to input.
    void bind(ControlInput& input);
    // The DPI the window draws at: its monitor's.
    int dpi() const { return dpi_; }
    // The panel's top-left in the program's pixels.
    void setPanelPosition(Point topLeft);
    // The visible outline, in the program's pixels.
    void setOutline(const Outline& outline);

    PictureControl image1;
    PictureControl image2;
    PanelControl panel1;
    SpeedButton speedButton1;
    SpeedButton speedButton3;
    SpeedButton speedButton2;
    std::function<void()> onTimer1;
    std::function<void()> onDisplayChange;
    // Whether anyone can see the window: not while the session is locked, the display off or
    // the window cloaked.
    std::function<void(bool)> onSeenChanged;

  private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnSessionChange(WPARAM change);
    void OnPowerSettingChange(const POWERBROADCAST_SETTING& setting);
    void updateSeen();
    // Makes the control of the table's row and returns its window.
    HWND createControl(const ControlSpec& spec, HWND parent);
    // Sizes the window and places every control at dpi_.
    void layOut(Size window);
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
    HWND label1_ = nullptr;
    int dpi_ = kDesignDpi;
    Point panelPosition_ = kDesignPanelPosition;
    Outline outline_;
    HPOWERNOTIFY displayNotification_ = nullptr;
    HWINEVENTHOOK cloakHook_ = nullptr;
    bool locked_ = false;
    bool displayOff_ = false;
    bool cloaked_ = false;
    bool seen_ = true;
};

} // namespace kivo::win32
