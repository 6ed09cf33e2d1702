#include "wine_folder.h"

#include "files.h"
#include "process.h"

#include <cstdlib>
#include <stdexcept>

namespace kivo::e2e {

namespace fs = std::filesystem;

namespace {

// Wine's own libraries fill most of a prefix and are only read: linked, not copied.
bool linkedNotCopied(const fs::path& relative) {
    const fs::path windows = fs::path("drive_c") / "windows";
    return relative == windows / "system32" || relative == windows / "winsxs";
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

} // namespace

WineFolder::WineFolder() {
    if (!fs::exists(KIVO_WINE_EXECUTABLE)) {
        throw std::runtime_error("no " + std::string(KIVO_WINE_EXECUTABLE) +
                                 ": build it with scripts/build-windows.sh x86_64, or point "
                                 "KIVO_WINE_EXE at another kivo.exe");
    }
    const fs::path templatePrefix = KIVO_WINE_TEMPLATE_PREFIX;
    if (!fs::exists(templatePrefix / "system.reg")) {
        throw std::runtime_error("no Wine prefix at " + templatePrefix.string() +
                                 ": ctest makes it in the test wine.prefix");
    }
    std::string pattern = (fs::temp_directory_path() / "kivo-wine-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    root_ = fs::canonical(pattern);
    fs::create_directories(program() / "image");
    fs::create_directories(program() / "date");
    fs::create_directories(home());
    fs::create_directories(logs());
    fs::copy_file(KIVO_WINE_EXECUTABLE, executable());
    fs::copy_file(KIVO_WINE_DEFAULT_PICTURE, defaultPicture());
    copyPrefix(templatePrefix, prefix(), {}, false);
}

WineFolder::~WineFolder() {
    if (!keep_) {
        // remove_all removes the prefix's links to "/" and to the template, not their targets.
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
}

void WineFolder::writeSettings(const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += line + "\r\n";
    }
    writeFile(settingsFile(), bytes);
}

std::string windowsPath(const fs::path& path) {
    std::string text = "Z:" + path.string();
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    return text;
}

std::string toCp1251(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if ((c & 0xE0) != 0xC0 || i + 1 >= utf8.size()) {
            throw std::invalid_argument("toCp1251: not a two-byte character in " + utf8);
        }
        const unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
        if (code >= 0x410 && code <= 0x44F) { // А..я
            out += static_cast<char>(0xC0 + (code - 0x410));
        } else if (code == 0x401) { // Ё
            out += static_cast<char>(0xA8);
        } else if (code == 0x451) { // ё
            out += static_cast<char>(0xB8);
        } else {
            throw std::invalid_argument("toCp1251: no such letter in code page 1251");
        }
    }
    return out;
}

std::vector<std::string> wineEnvironment(const WineFolder& folder, const std::string& display) {
    // LC_ALL picks Wine's code page (1251) and its Russian system; WINEDLLOVERRIDES keeps Wine
    // from offering to install Mono and Gecko.
    auto env = environmentWith({"DISPLAY", "WAYLAND_", "XAUTHORITY", "HOME", "XDG_", "WINE", "LC_",
                                "LANG", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS"},
                               {"HOME=" + folder.home().string(),
                                "WINEPREFIX=" + folder.prefix().string(), "WINEDEBUG=-all",
                                "WINEDLLOVERRIDES=mscoree,mshtml=", "LC_ALL=ru_RU.UTF-8"});
    if (!display.empty()) {
        env.push_back("DISPLAY=" + display);
    }
    return env;
}

} // namespace kivo::e2e
