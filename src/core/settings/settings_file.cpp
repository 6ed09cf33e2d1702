#include "core/settings/settings_file.h"

#include "core/error.h"
#include "core/system/files.h"
#include "core/text.h"

#include <optional>
#include <vector>

namespace kivo {

namespace {

// A line ends at LF; a CR never belongs to a line, whether or not an LF follows it; byte 26
// ends the line and the file.
std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : bytes) {
        if (c == '\x1A') {
            break;
        }
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

// The rest of the line when it starts with `key`, only ASCII letters folded; nothing is trimmed.
std::optional<std::string> valueAfter(const std::string& line, const std::string& key) {
    if (line.size() < key.size() || asciiUpper(line.substr(0, key.size())) != asciiUpper(key)) {
        return std::nullopt;
    }
    return line.substr(key.size());
}

void applyLine(const std::string& line, KivoState& state, WindowBounds& window) {
    if (const auto value = valueAfter(line, "Image=")) {
        // No file name holds a NUL, and the system would read the path only up to it: the rest
        // is dropped here, so the path kept and saved is the file that is opened.
        state.ImagePath = value->substr(0, value->find('\0'));
    }
    if (const auto value = valueAfter(line, "Formkivo.left=")) {
        window.left = strToInt(*value);
    }
    if (const auto value = valueAfter(line, "Formkivo.top=")) {
        window.top = strToInt(*value);
    }
    if (const auto value = valueAfter(line, "Formkivo.width=")) {
        window.width = strToInt(*value);
    }
    if (const auto value = valueAfter(line, "Formkivo.height=")) {
        window.height = strToInt(*value);
    }
    if (const auto value = valueAfter(line, "Vid=")) {
        state.Vid = strToInt(*value);
    }
    // Only ever switches the flag on, so a later "flpv=false" cannot undo an earlier "true".
    if (const auto value = valueAfter(line, "flpv=")) {
        if (asciiUpper(*value) == "TRUE") {
            state.Flpv = 1;
        }
    }
}

std::string settingsText(const std::string& imagePath, const KivoState& state,
                         const WindowBounds& window, Size picture) {
    const std::string lines[] = {
        "Параметры окон и опций Kivo",
        "Image=" + imagePath,
        "Formkivo.left=" + std::to_string(window.left),
        "Formkivo.top=" + std::to_string(window.top),
        "Formkivo.width=" + std::to_string(picture.width),
        "Formkivo.height=" + std::to_string(picture.height),
        "Vid=" + std::to_string(state.Vid),
        state.Flpv == 1 ? "flpv=true" : "flpv=false",
    };
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

} // namespace

void readSettings(const std::string& file, KivoState& state, WindowBounds& window) {
    for (const std::string& line : splitLines(utf8FromSystemText(readWholeFile(file)))) {
        applyLine(line, state, window);
    }
}

void writeSettings(const std::string& file, const KivoState& state, const WindowBounds& window,
                   Size picture) {
    // Saved as another path, or split over two lines, the picture would be lost at the next
    // start; the old file stays instead.
    const std::string& path = state.ImagePath;
    if (path.find_first_of("\r\n") != std::string::npos) {
        throw KivoError("Cannot save the picture's path, which holds a line break: \"" + path +
                        "\"");
    }
    const auto imagePath = codePagePath(path);
    if (!imagePath) {
        throw KivoError("Cannot save the picture's path in the system's code page: \"" + path +
                        "\"");
    }
    const std::string text = systemTextFromUtf8(settingsText(*imagePath, state, window, picture));
    replaceFile(file, {{text.data(), text.size()}});
}

} // namespace kivo
