#pragma once

#include "core/window/control_input.h"
#include "core/window/form_kivo.h"

#include <optional>

namespace kivo {

// Binds the controls' events to the handlers of the form, each run through dispatch. A
// picture clicks when the left button goes down and comes up over it.
class FormInput : public ControlInput {
  public:
    explicit FormInput(TFormKivo& form);

    void press(Control control, MouseButton button, Point at) override;
    bool doubleClick(Control control, MouseButton button) override;
    void move(Control control, Point at) override;
    void release(Control control, MouseButton button, Point at, bool inside) override;
    void click(Control control) override;
    void timer() override;
    void screensChanged() override;
    void seenChanged(bool seen) override;

  private:
    TFormKivo& form_;
    std::optional<Control> pressed_; // the left button went down on it and is still down
};

} // namespace kivo
