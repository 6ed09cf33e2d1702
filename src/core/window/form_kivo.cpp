#include "core/window/form_kivo.h"
#include "core/system/files.h"

#include "core/error.h"
#include "core/paths.h"
#include "core/picture/bitmap_check.h"
#include "core/picture/file_name.h"
#include "core/settings/settings_file.h"
#include "core/text.h"
#include "core/window/on_screen.h"

#include <exception>
#include <filesystem>

namespace kivo {

TFormKivo::TFormKivo(Desktop& desktop) : desktop_(desktop) {}

void TFormKivo::dispatch(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        const std::string text = errorBoxDisplayText(errorBoxText(error.what()));
        runModal([&] { desktop_.showErrorBox(applicationTitle(), text); });
    }
}

void TFormKivo::FormCreate() {
    state.ProgramDir = programDirOf(desktop_.executablePath());
    state.ImagePath = pictureFolder(state.ProgramDir) + "1.bmp";
    state.Vid = kVidEllipse;
    state.Flpv = 0;
    const Size screen = desktop_.screenSize();
    state.ScreenHeight = screen.height;
    state.ScreenWidth = screen.width;

    const std::string settings = settingsFilePath(state.ProgramDir);
    std::error_code ignored;
    if (std::filesystem::exists(filePath(settings), ignored)) {
        const WindowBounds design = desktop_.windowBounds();
        WindowBounds window = design;
        try {
            readSettings(settings, state, window);
        } catch (...) {
            openWindowAt(window, design);
            throw;
        }
        openWindowAt(window, design);
    }

    loadImage1(state.ImagePath);
    state.Inset = halfLargerSide(desktop_.pictureSize());
    centrePanel();
    state.InsetMax = state.Inset;
    state.Shrinking = 0;
    state.Running = 0;
    state.Changed = 0;
}

void TFormKivo::ScreensChanged() {
    // A drag places the window where the user takes it.
    if (state.Dragging == 0) {
        keepWindowReachable();
    }
}

void TFormKivo::SeenChanged(bool seen) {
    if (seen != seen_) {
        seen_ = seen;
        // The rest passed while nobody saw it: the breathing goes on at once, not a whole
        // rest later.
        if (seen_ && timer1Enabled_ && state.Inset == 0 && state.Shrinking == 1) {
            desktop_.setTimerInterval(kTimerInterval);
        }
        desktop_.setTimerEnabled(timer1Enabled_ && seen_);
    }
}

void TFormKivo::setTimer1Enabled(bool enabled) {
    timer1Enabled_ = enabled;
    desktop_.setTimerEnabled(enabled && seen_);
}

void TFormKivo::openWindowAt(WindowBounds saved, const WindowBounds& design) {
    const Size size = openingSize({saved.width, saved.height}, {design.width, design.height});
    saved.width = size.width;
    saved.height = size.height;
    desktop_.setWindowBounds(saved);
    keepWindowReachable();
}

void TFormKivo::keepWindowReachable() {
    WindowBounds window = desktop_.windowBounds();
    if (const auto topLeft = rescuedTopLeft(window, desktop_.screens())) {
        window.left = topLeft->x;
        window.top = topLeft->y;
        desktop_.setWindowBounds(window);
    }
}

void TFormKivo::centrePanel() {
    const WindowBounds window = desktop_.windowBounds();
    desktop_.setPanelPosition(
        {window.width / 2 - kPanelSize.width / 2, window.height / 2 - kPanelSize.height / 2});
}

void TFormKivo::loadImage1(const std::string& path) {
    checkBitmapFile(path);
    if (!desktop_.loadPicture(path)) {
        throw KivoError(kBitmapNotValid);
    }
}

ModalResult TFormKivo::ShowDialog(const std::string& text, DialogKind kind,
                                  const std::vector<ModalResult>& buttons) {
    const DialogModel model = makeDialogModel(text, kind, buttons, applicationTitle());
    ModalResult result = ModalResult::Cancel;
    runModal([&] { result = desktop_.showMessageDialog(model); });
    return result;
}

void TFormKivo::runModal(const std::function<void()>& showDialog) {
    // A window that stays on top would cover the dialog; it goes back up once it closes.
    if (level_ != WindowLevel::Topmost) {
        showDialog();
        return;
    }
    setWindowLevel(WindowLevel::Normal);
    try {
        showDialog();
    } catch (...) {
        setWindowLevel(WindowLevel::Topmost);
        throw;
    }
    setWindowLevel(WindowLevel::Topmost);
}

void TFormKivo::setWindowLevel(WindowLevel level) {
    if (level != level_) {
        level_ = level;
        desktop_.setWindowLevel(level);
    }
}

void TFormKivo::ShowNote(const std::string& text) {
    ShowDialog(text, DialogKind::Plain, {ModalResult::OK});
}

std::string TFormKivo::applicationTitle() const {
    return applicationTitleFor(desktop_.executablePath());
}

std::int32_t halfLargerSide(Size picture) {
    return picture.height < picture.width ? picture.width / 2 : picture.height / 2;
}

namespace {

// The capitals of the Cyrillic letters that the Windows code page has.
unsigned cyrillicLower(unsigned code) {
    if (code >= 0x400 && code <= 0x40F) { // Ѐ–Џ: Ё, Є, І, Ї, Ў...
        return code + 0x50;
    }
    if (code >= 0x410 && code <= 0x42F) { // А–Я
        return code + 0x20;
    }
    return code == 0x490 ? 0x491 : code; // Ґ
}

} // namespace

std::string applicationTitleFor(const std::string& executablePath) {
    std::string name = fileNameOf(executablePath);
    name = name.substr(0, name.find('.'));
    // Names are UTF-8 inside the program; the first letter, of one or two bytes, stays.
    std::string title;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto lead = static_cast<unsigned char>(name[i]);
        const bool twoBytes = (lead & 0xE0) == 0xC0 && i + 1 < name.size() &&
                              (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80;
        if (!twoBytes) {
            title += i == 0 ? name[i] : asciiLower(name[i]);
            continue;
        }
        unsigned code = (lead & 0x1Fu) << 6 | (static_cast<unsigned char>(name[++i]) & 0x3Fu);
        if (!title.empty()) {
            code = cyrillicLower(code);
        }
        title += static_cast<char>(0xC0 | code >> 6);
        title += static_cast<char>(0x80 | (code & 0x3F));
    }
    return title;
}

std::string errorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) <= '.') {
        return message;
    }
    return message + ".";
}

std::string withTrailingSeparator(std::string folder) {
    if (folder.empty() || !isPathSeparator(folder.back())) {
        folder += pathSeparator();
    }
    return folder;
}

std::string programDirOf(const std::string& executablePath) {
    return withTrailingSeparator(executablePath.substr(0, fileNameStart(executablePath)));
}

} // namespace kivo
