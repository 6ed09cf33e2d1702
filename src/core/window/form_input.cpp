#include "core/window/form_input.h"

#include <utility>

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
    using Handler = void (*)(TFormKivo&);
    static constexpr std::pair<Control, Handler> kClickHandlers[] = {
        {Control::Image2, [](TFormKivo& form) { form.Image2Click(); }},
        {Control::SpeedButton1, [](TFormKivo& form) { form.SpeedButton1Click(); }},
        {Control::SpeedButton2, [](TFormKivo& form) { form.SpeedButton2Click(); }},
        {Control::SpeedButton3, [](TFormKivo& form) { form.SpeedButton3Click(); }},
    };
    for (const auto& entry : kClickHandlers) {
        if (entry.first == control) {
            const Handler handler = entry.second;
            form_.dispatch([this, handler] { handler(form_); });
        }
    }
}

void FormInput::screensChanged() {
    form_.dispatch([&] { form_.ScreensChanged(); });
}

void FormInput::seenChanged(bool seen) {
    form_.dispatch([&] { form_.SeenChanged(seen); });
}

void FormInput::timer() {
    form_.dispatch([&] { form_.Timer1Timer(); });
}

} // namespace kivo
