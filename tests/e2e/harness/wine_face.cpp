// Kivo.exe of the 64- or 32-bit Windows build under Wine, as on a Russian Windows: code page
// 1251, paths through drive Z:, the autostart entry in the registry's Run key. Every folder
// has a Wine prefix of its own, so that no test sees another's registry.
#include "face.h"
#include "files.h"
#include "process.h"
#include "program_folder.h"
#include "wait.h"

#include <algorithm>
#include <iconv.h>
#include <sstream>
#include <stdexcept>

namespace kivo::e2e {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRunKey = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValueName = "kivo.narod.ru";

fs::path prefixOf(const ProgramFolder& folder) {
    return folder.root() / "prefix";
}

// Wine's own libraries fill most of a prefix and are only read: linked, not copied.
bool linkedNotCopied(const fs::path& relative) {
    const fs::path windows = fs::path("drive_c") / "windows";
    return relative == windows / "system32" || relative == windows / "syswow64" ||
           relative == windows / "winsxs";
}

// Symbolic links stay links: the prefix's drive z: points at "/".
void copyPrefix(const fs::path& from, const fs::path& to, const fs::path& relative, bool link) {
    fs::create_directory(to);
    for (const auto& entry : fs::directory_iterator(from)) {
        const fs::path name = entry.path().filename();
        const fs::path target = to / name;
        if (entry.is_symlink()) {
            fs::copy_symlink(entry.path(), target);
        } else if (entry.is_directory()) {
            copyPrefix(entry.path(), target, relative / name,
                       link || linkedNotCopied(relative / name));
        } else {
            std::error_code crossDevice;
            if (link) {
                fs::create_hard_link(entry.path(), target, crossDevice);
            }
            if (!link || crossDevice) {
                fs::copy_file(entry.path(), target);
            }
        }
    }
}

// UTF-8 text in code page 1251, as a Russian Windows writes its settings file.
std::string toCp1251(std::string utf8) {
    const iconv_t converter = iconv_open("CP1251", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("this system converts no text to code page 1251");
    }
    std::string out(utf8.size(), '\0'); // one byte a character at most
    char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    char* at = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &at, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) {
        throw std::invalid_argument("toCp1251: no such letter in code page 1251 in " + utf8);
    }
    out.resize(out.size() - outLeft);
    return out;
}

class WineFace : public Face {
  public:
    // The build's test programs that run beside Kivo.exe lie in its tests/win32.
    WineFace(std::string name, fs::path folder, std::string loader)
        : name_(std::move(name)), folder_(std::move(folder)), loader_(std::move(loader)),
          helpers_(folder_ / "tests" / "win32") {}

    std::string name() const override { return name_; }
    std::string executableName() const override { return "Kivo.exe"; }
    fs::path builtFolder() const override { return folder_; }
    std::string title() const override { return "Kivo"; }
    std::chrono::milliseconds appearTimeout() const override { return std::chrono::seconds(20); }

    void install(const ProgramFolder& folder) const override {
        const fs::path templatePrefix = KIVO_E2E_WINE_TEMPLATE_PREFIX;
        if (!fs::exists(templatePrefix / "system.reg")) {
            throw std::runtime_error("no Wine prefix at " + templatePrefix.string() +
                                     ": ctest makes it in the test e2e.wine-prefix");
        }
        copyPrefix(templatePrefix, prefixOf(folder), {}, false);
    }

    // LC_ALL picks Wine's code page (1251) and its Russian system.
    std::vector<std::string> environment(const ProgramFolder& folder) const override {
        std::vector<std::string> own{"HOME=" + folder.home().string(),
                                     "WINEPREFIX=" + prefixOf(folder).string(),
                                     "LC_ALL=ru_RU.UTF-8"};
        std::istringstream shared(KIVO_WINE_ENV);
        for (std::string variable; shared >> variable;) {
            own.push_back(variable);
        }
        return environmentWith({"DISPLAY", "WAYLAND_", "XAUTHORITY", "HOME", "XDG_", "WINE", "LC_",
                                "LANG", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS"},
                               own);
    }

    std::vector<std::string> command(const ProgramFolder& folder) const override {
        return {loader_, folder.executable().string()};
    }

    // Wine gives DPI-aware programs the system DPI of the prefix's LogPixels.
    void setDisplayDpi(const ProgramFolder& folder, const std::string& display, XClient&,
                       int dpi) const override {
        if (run(folder, display,
                {loader_, "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                 "REG_DWORD", "/d", std::to_string(dpi), "/f"},
                "reg-add.log") != 0) {
            throw std::runtime_error("wine reg add LogPixels failed");
        }
    }

    // The system's notice of a locked or unlocked session, sent by a program of the prefix.
    void setHidden(const ProgramFolder& folder, const std::string& display, XClient&, Hiding how,
                   bool hidden) const override {
        const char* notice =
            how == Hiding::Cloaked ? (hidden ? "cloak" : "uncloak") : (hidden ? "lock" : "unlock");
        if (run(folder, display, {loader_, (helpers_ / "session_notice.exe").string(), notice},
                "session-notice.log") != 0) {
            throw std::runtime_error("session_notice.exe found no window of Kivo");
        }
    }

    // A Wine server serves one display only: it goes, with every program of the prefix,
    // before its display does.
    void endSession(const ProgramFolder& folder, const std::string& display) const override {
        for (const char* option : {"-k", "-w"}) {
            run(folder, display, {KIVO_E2E_WINESERVER, option}, "wineserver.log");
        }
    }

    std::string nativePath(const fs::path& path) const override {
        std::string text = "Z:" + path.string();
        std::replace(text.begin(), text.end(), '/', '\\');
        return text;
    }

    std::string settingsText(const std::string& utf8) const override { return toCp1251(utf8); }

    // Under Wine 8.0 nothing reaches the X clipboard on Ctrl+C in a box: a program of the same
    // Wine server reads the box's text control instead.
    std::string boxMessage(const ProgramFolder& folder, const std::string& display,
                           XClient&) const override {
        const fs::path text = folder.logs() / "box-text.txt";
        std::string message;
        waitUntil(appearTimeout(), [&] {
            fs::remove(text);
            if (run(folder, display,
                    {loader_, (helpers_ / "box_text.exe").string(), nativePath(text)},
                    "box-text.log") != 0) {
                return false;
            }
            message = readFile(text);
            std::erase(message, '\r');
            return !message.empty();
        });
        return message;
    }

    // Read through Wine's reg: "    <name>    REG_SZ    <data>".
    std::optional<std::string> autostartCommand(const ProgramFolder& folder,
                                                const std::string& display) const override {
        const fs::path log = folder.logs() / "reg-query.log";
        fs::remove(log);
        const auto exitCode =
            run(folder, display, {loader_, "reg", "query", kRunKey, "/v", kRunValueName},
                log.filename().string());
        if (!exitCode) {
            throw std::runtime_error("wine reg did not end in time");
        }
        std::string output = readFile(log);
        if (*exitCode != 0) {
            return std::nullopt;
        }
        std::erase(output, '\r');
        const std::string marker = "    REG_SZ    ";
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);) {
            const auto at = line.find(marker);
            if (at != std::string::npos && line.find(kRunValueName) < at) {
                return line.substr(at + marker.size());
            }
        }
        throw std::runtime_error("unexpected output of reg query:\n" + output);
    }

    // A path with blanks is quoted, so that the system does not split it.
    std::string expectedAutostartCommand(const ProgramFolder& folder) const override {
        const std::string path = nativePath(folder.executable());
        return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
    }

  private:
    // A program of the prefix on the display, its output in the log of that name; its exit
    // status once it ends within 30 s.
    std::optional<int> run(const ProgramFolder& folder, const std::string& display,
                           std::vector<std::string> argv, const std::string& logName) const {
        ProcessOptions options;
        options.argv = std::move(argv);
        options.env = environment(folder);
        options.env.push_back("DISPLAY=" + display);
        options.logPath = (folder.logs() / logName).string();
        return Process(options).waitExit(std::chrono::seconds(30));
    }

    std::string name_;
    fs::path folder_;
    std::string loader_;
    fs::path helpers_;
};

} // namespace

const Face& windows64Face() {
    static const WineFace face("win64", KIVO_E2E_WIN64_FOLDER, KIVO_E2E_WINE64);
    return face;
}

const Face& windows32Face() {
    static const WineFace face("win32", KIVO_E2E_WIN32_FOLDER, KIVO_E2E_WINE32);
    return face;
}

} // namespace kivo::e2e
