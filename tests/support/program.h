#pragma once

#include "core/paths.h"
#include "core/window/form_kivo.h"
#include "fake_desktop.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace kivo::test {

// The program in a temporary folder: image/1.bmp (280 x 280), date/ and a folder of photos
// beside the executable, its window at 10, 20 on a 1280 x 1024 screen; start() runs the
// start-up once the test has laid out its files.
template <class Desktop = FakeDesktop> struct Program {
    TempDir dir;
    Desktop desktop;
    TFormKivo form{desktop};

    Program() {
        for (const char* folder : {"image", "date", "photos"}) {
            std::filesystem::create_directories(dir.path() / folder);
        }
        writeFile(dir.path() / "image" / "1.bmp", bmp24(280, 280));
        desktop.exePath = (dir.path() / "kivo").string();
        desktop.window = {10, 20, 280, 279};
    }
    void start() {
        form.dispatch([&] { form.FormCreate(); });
    }
    std::string image(const std::string& name) const { return pictureFolder(dir.dir()) + name; }
    std::string photo(const std::string& name) const {
        return dir.dir() + "photos" + pathSeparator() + name;
    }
    void writeSettings(const std::string& bytes) const {
        writeFile(dir.path() / "date" / "soxran.txt", bytes);
    }
    // Runs the picture button with the files the dialog hands back in turn, then a cancel.
    void choose(std::initializer_list<std::string> files) {
        for (const std::string& file : files) {
            desktop.openAnswers.emplace_back(file);
        }
        form.dispatch([&] { form.SpeedButton1Click(); });
    }
    // What a start or a choice that came to nothing leaves: image/1.bmp, in the window as it was.
    void expectUnchanged() const {
        EXPECT_EQ(form.state.ImagePath, image("1.bmp"));
        EXPECT_EQ(form.state.Changed, 0);
        EXPECT_EQ(desktop.picturePath, image("1.bmp"));
        EXPECT_EQ(desktop.window, (WindowBounds{10, 20, 280, 279}));
        EXPECT_EQ(desktop.level, WindowLevel::Normal);
    }
    // Each dialog's title and text, then each error box's caption and text.
    std::vector<std::string> texts() const {
        std::vector<std::string> texts;
        for (const DialogModel& dialog : desktop.dialogs) {
            texts.push_back(dialog.title + ": " + dialog.text);
        }
        for (const auto& [caption, text] : desktop.errorBoxes) {
            texts.push_back("error box " + caption + ": " + text);
        }
        return texts;
    }
};

// A conversion's error from libjpeg, by the code of its message.
inline std::string jpegError(int code) {
    return "JPEG error #" + std::to_string(code);
}
// The notes on a failed conversion, on a failed copy with the system's error code, and on a
// picture under 100 x 100.
inline std::string conversionFailure(const std::string& error, const std::string& path) {
    return "kivo: Ошибка: " + error + "\nпреобразования файла:\n" + path;
}
inline std::string copyFailure(int code) {
    return "Error: Ошибка копирования файла:\nОшибка копирования файла!! Код ошибки: " +
           std::to_string(code);
}
inline std::string tooSmall(const std::string& size) {
    return "Error: Размер, выбранной картинки, менее рекомендуемого!\nВы выбрали картинку "
           "размером: " +
           size + "\nРекомендуемый размер не менее 100Х100\nПредлагаю выбрать другую картинку.";
}

} // namespace kivo::test
