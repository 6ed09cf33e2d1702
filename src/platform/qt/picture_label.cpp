#include "picture_label.h"

#include <QMouseEvent>
#include <utility>

namespace kivo::qt {

namespace {

std::optional<MouseButton> buttonOf(Qt::MouseButton button) {
    constexpr std::pair<Qt::MouseButton, MouseButton> kButtons[] = {
        {Qt::LeftButton, MouseButton::Left},
        {Qt::RightButton, MouseButton::Right},
        {Qt::MiddleButton, MouseButton::Middle},
    };
    for (const auto& [qt, ours] : kButtons) {
        if (qt == button) {
            return ours;
        }
    }
    return std::nullopt;
}

Point pointOf(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

} // namespace

PictureLabel::PictureLabel(Control control, QWidget* parent) : QLabel(parent), control_(control) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PictureLabel::setPicture(const QPixmap& picture) {
    setPixmap(picture);
    resize(picture.size());
}

void PictureLabel::mousePressEvent(QMouseEvent* event) {
    const auto button = buttonOf(event->button());
    if (button && input_ != nullptr) {
        input_->press(control_, *button, pointOf(event));
    }
}

void PictureLabel::mouseMoveEvent(QMouseEvent* event) {
    if (input_ != nullptr) {
        input_->move(control_, pointOf(event));
    }
}

void PictureLabel::mouseReleaseEvent(QMouseEvent* event) {
    const auto button = buttonOf(event->button());
    if (button && input_ != nullptr) {
        input_->release(control_, *button, pointOf(event),
                        rect().contains(event->position().toPoint()));
    }
}

void PictureLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends this in place of the second press.
    const auto button = buttonOf(event->button());
    if (button && input_ != nullptr && input_->doubleClick(control_, *button)) {
        mousePressEvent(event);
    }
}

} // namespace kivo::qt
