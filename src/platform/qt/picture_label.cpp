#include "picture_label.h"

#include <QMouseEvent>

namespace kivo::qt {

namespace {

std::optional<MouseButton> buttonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return std::nullopt;
    }
}

} // namespace

PictureLabel::PictureLabel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PictureLabel::setPicture(const QPixmap& picture) {
    setPixmap(picture);
    resize(picture.size());
}

void PictureLabel::mousePressEvent(QMouseEvent* event) {
    pressedInside_ = true;
    const auto button = buttonOf(event->button());
    if (button && onPress) {
        const QPoint p = event->position().toPoint();
        onPress(*button, p.x(), p.y());
    }
}

void PictureLabel::mouseMoveEvent(QMouseEvent* event) {
    if (onMove) {
        const QPoint p = event->position().toPoint();
        onMove(p.x(), p.y());
    }
}

void PictureLabel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const bool click = pressedInside_ && event->button() == Qt::LeftButton && rect().contains(p);
    pressedInside_ = false;
    const auto button = buttonOf(event->button());
    if (button && onRelease) {
        onRelease(*button, p.x(), p.y());
    }
    if (click && onClick) {
        onClick();
    }
}

void PictureLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt replaces the second press by this event: deliver the double-click, then the press.
    if (event->button() == Qt::LeftButton && onDoubleClick) {
        onDoubleClick();
    }
    mousePressEvent(event);
}

} // namespace kivo::qt
