#include "core/window/form_kivo.h"

#include <cstdint>

namespace kivo {

namespace {

const char* const kOutlineQuestion = "Установите прямоугольную, или эллипсную форму:\n\r\n\r"
                                     "Yes - прямоугольник с прямыми углами\n\r"
                                     "No  - прямоугольник с округлыми углами\n\r"
                                     "All  - по умолчанию (эллипс)";

} // namespace

void TFormKivo::SpeedButton3Click() {
    const std::int32_t previous = state.Vid;
    switch (ShowDialog(kOutlineQuestion, DialogKind::Confirmation,
                       {ModalResult::Yes, ModalResult::No, ModalResult::All})) {
    case ModalResult::All:
        state.Vid = kVidEllipse;
        break;
    case ModalResult::Yes:
        state.Vid = kVidRect;
        break;
    case ModalResult::No:
        state.Vid = kVidRoundRect;
        break;
    default: // closed without a button
        break;
    }
    if (state.Vid != previous) {
        state.Changed = 1;
    }
    setWindowLevel(WindowLevel::Topmost);
}

} // namespace kivo
