#pragma once

#include "core/desktop.h"

#include <QLabel>
#include <functional>

namespace kivo::qt {

// A picture control that sizes itself to its picture and reports the mouse in its own
// coordinates. A double-click arrives as the double-click followed by the second press.
class PictureLabel : public QLabel {
    Q_OBJECT
  public:
    explicit PictureLabel(QWidget* parent);

    void setPicture(const QPixmap& picture);

    std::function<void(MouseButton, int, int)> onPress;
    std::function<void(int, int)> onMove;
    std::function<void(MouseButton, int, int)> onRelease;
    std::function<void()> onDoubleClick;
    std::function<void()> onClick;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    bool pressedInside_ = false;
};

} // namespace kivo::qt
