#pragma once

#include "core/window/controls.h"
#include "picture_label.h"

#include <QTimer>
#include <QWidget>
#include <array>

namespace kivo::qt {

// FormKivo: a frameless window with the controls of the core's table; behaviour is wired by
// QtDesktop.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow();

    QWidget* control(Control control) const { return controls_[static_cast<std::size_t>(control)]; }
    PictureLabel* picture(Control control) const;
    // Feeds every control's events, and the timer's, to input.
    void bind(ControlInput& input);

    QTimer* timer1;

  private:
    QWidget* makeControl(const ControlSpec& spec, QWidget* parent);

    std::array<QWidget*, kControls.size()> controls_{};
};

} // namespace kivo::qt
