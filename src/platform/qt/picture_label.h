#pragma once

#include "core/window/control_input.h"

#include <QLabel>

namespace kivo::qt {

// A picture control that sizes itself to its picture and reports the mouse in its own
// coordinates.
class PictureLabel : public QLabel {
    Q_OBJECT
  public:
    PictureLabel(Control control, QWidget* parent);

    void setPicture(const QPixmap& picture);
    void bind(ControlInput& input) { input_ = &input; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    Control control_;
    ControlInput* input_ = nullptr;
};

} // namespace kivo::qt
