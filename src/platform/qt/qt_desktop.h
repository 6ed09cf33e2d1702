#pragma once

#include "core/desktop.h"
#include "core/window/form_input.h"
#include "main_window.h"
#include "x11_seen.h"
#include "x11_window.h"

#include <optional>

namespace kivo::qt {

// The Linux face of the program: FormKivo's widgets behind the Desktop port.
class QtDesktop : public Desktop {
  public:
    QtDesktop();

    // Routes the widgets' events to the form's handlers, each through dispatch().
    void connect(TFormKivo& form);
    MainWindow& window() { return window_; }

    std::string executablePath() const override;
    Size screenSize() const override;
    std::vector<Box> screens() const override;
    int displayDepth() const override;

    WindowBounds windowBounds() const override;
    void setWindowBounds(const WindowBounds& bounds) override;
    void closeWindow() override;
    void setWindowOutline(const Outline& outline) override;
    void setWindowLevel(WindowLevel level) override;
    void setWindowCursor(CursorShape cursor) override;

    bool loadPicture(const std::string& path) override;
    Size pictureSize() const override;
    void setPictureVisible(bool visible) override;
    void setPictureCursor(CursorShape cursor) override;
    void setStartButtonVisible(bool visible) override;
    void setPanelVisible(bool visible) override;
    void setPanelPosition(Point topLeft) override;
    void setBusy(bool busy) override;

    void setTimerEnabled(bool enabled) override;
    void setTimerInterval(int milliseconds) override;
    void processPendingEvents(LetRunPoint point) override;

    ModalResult showMessageDialog(const DialogModel& model) override;
    void showErrorBox(const std::string& caption, const std::string& text) override;
    std::optional<std::string> runOpenDialog(const OpenDialogModel& model) override;

    bool addAutostart(const std::string& name, const std::string& executable) override;
    void removeAutostart(const std::string& name) override;

  private:
    QWidget* boxOwner();
    MainWindow window_;
    X11ServerPainting serverPainting_;
    X11Seen seen_;
    std::optional<FormInput> input_;
};

} // namespace kivo::qt
