#include "core/window/form_input.h"

namespace kivo {

FormInput::FormInput(TFormKivo& form) : form_(form) {}

void FormInput::press(Control control, MouseButton button, Point at) {
    if (button == MouseButton::Left) {
        pressed_ = control;
    }
    if (control == Control::Image1) {
        form_.dispatch([&] { form_.Image1MouseDown(button, at.x, at.y); });
    }
}

bool FormInput::doubleClick(Control control, MouseButton button) {
    if (control == Control::Image1 && button == MouseButton::Left) {
        form_.dispatch([&] { form_.Image1DblClick(); });
    }
    return !form_.closed();
}

void FormInput::move(Control control, Point at) {
    if (control == Control::Image1) {
        form_.dispatch([&] { form_.Image1MouseMove(at.x, at.y); });
    }
}

void FormInput::release(Control control, MouseButton button, Point at, bool inside) {
    const bool clicked = button == MouseButton::Left && pressed_ == control && inside;
    if (button == MouseButton::Left) {
        pressed_.reset();
    }
    if (control == Control::Image1) {
        form_.dispatch([&] { form_.Image1MouseUp(button, at.x, at.y); });
    }
    if (clicked) {
        click(control);
    }
}

void FormInput::click(Control control) {
    switch (control) {
    case Control::Image2:
        form_.dispatch([&] { form_.Image2Click(); });
        break;
    case Control::SpeedButton1:
        form_.dispatch([&] { form_.SpeedButton1Click(); });
        break;
    case Control::SpeedButton2:
        form_.dispatch([&] { form_.SpeedButton2Click(); });
        break;
    case Control::SpeedButton3:
        form_.dispatch([&] { form_.SpeedButton3Click(); });
        break;
    default:
        break; // no click handler
    }
}

void FormInput::timer() {
    form_.dispatch([&] { form_.Timer1Timer(); });
}

} // namespace kivo
