#include "core/paths.h"
#include "core/settings/settings_file.h"
#include "core/window/form_kivo.h"

#include <string>

namespace kivo {

namespace {

std::string saveQuestion(const std::string& question) {
    return question + "\n\r" + "NO - НЕТ" + "\n\r" + "OK - ДА";
}

} // namespace

void TFormKivo::Image1DblClick() {
    setTimer1Enabled(false);
    state.StopRequested = 1;

    if (state.TrialMode == 1) {
        const WindowBounds window = desktop_.windowBounds();
        state.Region = {OutlineKind::Rect, {0, 0, window.width, window.height}};
        desktop_.setWindowOutline(state.Region);
        desktop_.setPanelVisible(true);
        desktop_.setStartButtonVisible(true);
        state.Shrinking = 0;
        state.Running = 0;
        state.Inset = state.InsetMax;
        state.TrialMode = 0;
        setWindowLevel(WindowLevel::Topmost);
        return;
    }

    if (state.Changed == 1) {
        std::string question = "Сохранить изменения?";
        for (;;) {
            const ModalResult answer = ShowDialog(saveQuestion(question), DialogKind::Confirmation,
                                                  {ModalResult::No, ModalResult::OK});
            if (answer == ModalResult::OK) {
                // A failed write throws, and the window stays open.
                writeSettings(settingsFilePath(state.ProgramDir), state, desktop_.windowBounds(),
                              desktop_.pictureSize());
                break;
            }
            if (answer == ModalResult::No) {
                break;
            }
            question = "Выберите одно из двух!";
        }
    }
    closed_ = true;
    desktop_.closeWindow();
}

} // namespace kivo
