// The Linux program: Qt on X11, the settings file in UTF-8, an XDG autostart entry.
#include "face.h"
#include "files.h"
#include "process.h"
#include "program_folder.h"
#include "wait.h"
#include "x_client.h"

#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

namespace kivo::e2e {

namespace fs = std::filesystem;

namespace {

fs::path configHome(const ProgramFolder& folder) {
    return folder.home() / ".config";
}

fs::path runtimeDir(const ProgramFolder& folder) {
    return folder.root() / "runtime";
}

// What a desktop runs for an Exec value: "%%" is a "%", any other "%" starts a field code,
// which the entry's command never holds, and is dropped with its letter.
std::string execCommand(const std::string& exec) {
    std::string command;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '%') {
            command += exec[i];
        } else if (++i < exec.size() && exec[i] == '%') {
            command += '%';
        }
    }
    return command;
}

class LinuxFace : public Face {
  public:
    std::string name() const override { return "linux"; }
    std::string executableName() const override { return "kivo"; }
    fs::path builtFolder() const override { return KIVO_E2E_LINUX_FOLDER; }
    std::string title() const override { return "kivo"; }
    std::chrono::milliseconds appearTimeout() const override { return std::chrono::seconds(10); }

    void install(const ProgramFolder& folder) const override {
        fs::create_directories(configHome(folder));
        fs::create_directory(runtimeDir(folder));
        fs::permissions(runtimeDir(folder), fs::perms::owner_all, fs::perm_options::replace);
    }

    std::vector<std::string> environment(const ProgramFolder& folder) const override {
        return environmentWith(
            {"DISPLAY", "WAYLAND_", "XAUTHORITY", "HOME", "XDG_", "QT_", "SESSION_MANAGER",
             "DBUS_SESSION_BUS_ADDRESS"},
            {"HOME=" + folder.home().string(), "XDG_CONFIG_HOME=" + configHome(folder).string(),
             "XDG_RUNTIME_DIR=" + runtimeDir(folder).string(), "QT_QPA_PLATFORM=xcb"});
    }

    std::vector<std::string> command(const ProgramFolder& folder) const override {
        return {folder.executable().string()};
    }

    // Qt scales by the X resources' Xft.dpi.
    void setDisplayDpi(const ProgramFolder&, const std::string&, XClient& x,
                       int dpi) const override {
        x.setResources("Xft.dpi:\t" + std::to_string(dpi) + "\n");
    }

    void setHidden(const ProgramFolder&, const std::string&, XClient& x, Hiding how,
                   bool hidden) const override {
        if (how != Hiding::LockedSession) {
            throw std::logic_error("X11 cloaks no window");
        }
        x.setScreenSaver(hidden);
    }

    void endSession(const ProgramFolder&, const std::string&) const override {}

    std::string nativePath(const fs::path& path) const override { return path.string(); }
    std::string settingsText(const std::string& utf8) const override { return utf8; }

    // Ctrl+C copies the box as the system's boxes on Windows do: separator, title, separator,
    // message, separator, buttons, separator.
    std::string boxMessage(const ProgramFolder&, const std::string&, XClient& x) const override {
        const std::string separator = "---------------------------\n";
        std::string copied;
        x.pressChord({"Control_L", "c"});
        const bool told = waitUntil(appearTimeout(), [&] {
            copied = x.clipboardText(std::chrono::milliseconds(200));
            std::erase(copied, '\r');
            return copied.starts_with(separator);
        });
        // The message lies between the second separator and the third.
        const std::size_t title = copied.find(separator, separator.size());
        const std::size_t start = title == std::string::npos ? title : title + separator.size();
        const std::size_t end = start == std::string::npos ? start : copied.find(separator, start);
        if (!told || end == std::string::npos) {
            return {};
        }
        std::string message = copied.substr(start, end - start);
        while (!message.empty() && message.back() == '\n') {
            message.pop_back();
        }
        return message;
    }

    // The entry must be one that desktops launch: its group, its type and a name.
    std::optional<std::string> autostartCommand(const ProgramFolder& folder,
                                                const std::string&) const override {
        const fs::path entry = configHome(folder) / "autostart" / "kivo.narod.ru.desktop";
        if (!fs::exists(entry)) {
            return std::nullopt;
        }
        const std::string text = readFile(entry);
        EXPECT_TRUE(text.starts_with("[Desktop Entry]\n")) << text;
        EXPECT_NE(text.find("\nType=Application\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\nName="), std::string::npos) << text;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("Exec=")) {
                return execCommand(line.substr(5));
            }
        }
        ADD_FAILURE() << "no Exec line in\n" << text;
        return std::nullopt;
    }

    std::string expectedAutostartCommand(const ProgramFolder& folder) const override {
        return "\"" + folder.executable().string() + "\"";
    }
};

} // namespace

const Face& linuxFace() {
    static const LinuxFace face;
    return face;
}

} // namespace kivo::e2e
