#include "core/paths.h"
#include "core/picture/bitmap_check.h"
#include "core/picture/file_name.h"
#include "core/system/files.h"
#include "core/window/form_kivo.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace kivo {

namespace {

OpenDialogModel pictureDialog(const std::string& folder) {
    const std::string patterns = "*.bmp;*.jpg;*.jpeg";
    return {"Выберите файл картинки", folder, folder + patterns, "Файлы картинок " + patterns,
            patterns};
}

bool exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(filePath(path), ignored);
}

// Decided by the file system, not by comparing paths; when it cannot tell, the two count as one
// file, so that the chosen file is never deleted.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(filePath(a), filePath(b), error) || error;
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string updateQuestion(const std::string& target) {
    return "Файл картинки:\n\r" + target + "\n\r" + "имеется." + "\n\r" + "Обновить файл?" + "\n\r";
}

std::string copyFailure(int code) {
    return "Ошибка копирования файла:\n\r" + std::string("Ошибка копирования файла!") +
           "! Код ошибки: " + std::to_string(code);
}

std::string tooSmallMessage(Size picture) {
    // The "Х" in "100Х100" is the Cyrillic letter.
    return "Размер, выбранной картинки, менее рекомендуемого!\n\rВы выбрали картинку размером: " +
           sizeText(picture.width, picture.height) + "\n\r" +
           "Рекомендуемый размер не менее 100Х100" + "\n\r" + "Предлагаю выбрать другую картинку.";
}

std::string tooLargeMessage(Size picture, const KivoState& state) {
    return "Размер, выбранной картинки, превышает размер Вашего дисплея!\n\rВы выбрали картинку "
           "размером: " +
           sizeText(picture.width, picture.height) + "\n\r" + "Размер Вашего дисплея " +
           sizeText(state.ScreenWidth, state.ScreenHeight) + "\n\r" +
           "Предлагаю выбрать другую картинку." + "\n\r" + "Однако, Вы можете:" + "\n\r" +
           "Принять выбранную - OK" + "\n\r" + "Выбрать другую - Abort" + "\n\r";
}

} // namespace

void TFormKivo::SpeedButton1Click() {
    const std::string folder = pictureFolder(state.ProgramDir);
    for (;;) {
        std::optional<std::string> chosen;
        runModal([&] { chosen = desktop_.runOpenDialog(pictureDialog(folder)); });
        if (!chosen) {
            return;
        }
        const std::string converted = preobraz(*chosen);
        if (converted.empty()) {
            continue;
        }
        const std::string target = folder + fileNameOf(converted);
        if (!copyIntoPictureFolder(converted, target)) {
            return;
        }

        // The copy stays in the picture folder whatever the checks below decide.
        loadImage1(target);
        desktop_.setPictureVisible(true);
        const Size picture = desktop_.pictureSize();
        if (picture.width < kMinPictureSide || picture.height < kMinPictureSide) {
            ShowDialog(tooSmallMessage(picture), DialogKind::Error, {ModalResult::OK});
            loadImage1(state.ImagePath);
            continue;
        }
        const bool fitsScreen =
            state.ScreenWidth >= picture.width && state.ScreenHeight >= picture.height;
        if (fitsScreen || ShowDialog(tooLargeMessage(picture, state), DialogKind::Information,
                                     {ModalResult::OK, ModalResult::Abort}) != ModalResult::Abort) {
            acceptPicture(target);
            return;
        }
        restorePreviousPicture();
    }
}

bool TFormKivo::copyIntoPictureFolder(const std::string& chosen, const std::string& target) {
    if (exists(target) && !sameFile(chosen, target) &&
        ShowDialog(updateQuestion(target), DialogKind::Confirmation,
                   {ModalResult::No, ModalResult::OK}) == ModalResult::OK) {
        // With nothing to copy in its place, the existing copy would be lost for nothing.
        if (!exists(chosen)) {
            ShowDialog(copyFailure(fileNotFoundError()), DialogKind::Error, {ModalResult::OK});
            return false;
        }
        std::error_code error;
        std::filesystem::remove(filePath(target), error);
        if (error) {
            ShowDialog("Системная ошибка. Прежний файл:\n\r" + target + "\n\r" +
                           " не могу удалить!" + "\n\r",
                       DialogKind::Error, {ModalResult::OK});
            return false;
        }
    }
    if (!exists(target)) {
        if (const int error = copyNewFile(chosen, target); error != 0) {
            ShowDialog(copyFailure(error), DialogKind::Error, {ModalResult::OK});
            return false;
        }
    }
    if (!exists(target)) {
        ShowDialog("Системная ошибка. Файл:\n\r" + target + "\n\r" +
                       "не переписан во внутренний каталог!" + "\n\r",
                   DialogKind::Error, {ModalResult::OK});
        return false;
    }
    return true;
}

void TFormKivo::acceptPicture(const std::string& target) {
    state.ImagePath = target;
    state.Changed = 1;
    const Size picture = desktop_.pictureSize();
    state.Inset = halfLargerSide(picture);
    state.InsetMax = state.Inset;
    desktop_.setPictureVisible(true);
    WindowBounds window = desktop_.windowBounds();
    window.width = picture.width;
    window.height = picture.height;
    desktop_.setWindowBounds(window);
    centrePanel();
    setWindowLevel(WindowLevel::Topmost);
}

void TFormKivo::restorePreviousPicture() {
    if (state.ImagePath.empty()) {
        loadImage1(pictureFolder(state.ProgramDir) + "start.bmp");
        return;
    }
    const std::string previous = preobraz(state.ImagePath);
    if (!previous.empty()) {
        loadImage1(previous);
        state.ImagePath = previous;
    }
}

} // namespace kivo
