#include "core/error.h"
#include "core/gestures/autorun_name.h"
#include "core/window/form_kivo.h"

#include <cstdint>

namespace kivo {

namespace {

// The "ОК" in the question is written in Cyrillic letters.
const char* const kStayOnTopQuestion =
    "Установить/снять поверх всех\n\rОК - установить\n\rAbort - снять";

} // namespace

void TFormKivo::askStayOnTop() {
    const std::int32_t previous = state.Flpv;
    setTimer1Enabled(false);
    const ModalResult answer = ShowDialog(kStayOnTopQuestion, DialogKind::Confirmation,
                                          {ModalResult::OK, ModalResult::Abort});
    // A failed autostart write ends the handler here: Flpv is already set, while the timer
    // stays off (the button's release resumes it) and no change is noted.
    if (answer == ModalResult::OK) {
        state.Flpv = 1;
        Autorun(true, kAutorunName, desktop_.executablePath());
    } else if (answer == ModalResult::Abort) {
        state.Flpv = 0;
        Autorun(false, kAutorunName, desktop_.executablePath());
    }
    if (state.Running == 1) {
        setTimer1Enabled(true);
    }
    if (state.Flpv != previous) {
        state.Changed = 1;
    }
}

void TFormKivo::Autorun(bool add, const std::string& name, const std::string& path) {
    if (add) {
        if (!desktop_.addAutostart(name, path)) {
            throw KivoError("Failed to set data for '" + name + "'");
        }
    } else {
        desktop_.removeAutostart(name);
    }
}

} // namespace kivo
