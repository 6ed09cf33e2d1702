#include "xdg_autostart.h"

#include "core/error.h"
#include "core/system/files.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace kivo::qt {

namespace {

std::filesystem::path homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return home;
    }
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
}

// Exec's quoting: the path in double quotes, with '"', '`', '$' and '\' escaped.
std::string quotedArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

// A string value's own escapes, applied on top of Exec's quoting; '%' starts a field code.
std::string escapedValue(const std::string& value) {
    std::string escaped;
    for (char c : value) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '%':
            escaped += "%%";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::filesystem::path entryPath(const std::filesystem::path& folder, const std::string& name) {
    return folder / (name + ".desktop");
}

} // namespace

std::filesystem::path autostartFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // A relative value is invalid by the base directory rules and is ignored.
    if (config != nullptr && *config == '/') {
        return std::filesystem::path(config) / "autostart";
    }
    return homeFolder() / ".config" / "autostart";
}

std::string autostartEntryText(const std::string& executable) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Kivo\n"
           "Exec=" +
           escapedValue(quotedArgument(executable)) + "\n";
}

bool writeAutostartEntry(const std::filesystem::path& folder, const std::string& name,
                         const std::string& executable) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return false;
    }
    // The temporary file beside the entry is not named *.desktop: a half-written entry never
    // starts anything.
    const std::string text = autostartEntryText(executable);
    try {
        replaceFile(entryPath(folder, name).string(), {{text.data(), text.size()}});
        return true;
    } catch (const KivoError&) {
        return false;
    }
}

void removeAutostartEntry(const std::filesystem::path& folder, const std::string& name) {
    std::error_code ignored;
    std::filesystem::remove(entryPath(folder, name), ignored);
}

} // namespace kivo::qt
