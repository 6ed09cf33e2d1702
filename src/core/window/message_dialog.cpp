#include "core/window/message_dialog.h"

#include "core/text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>

namespace kivo {

namespace {

struct ButtonSpec {
    ModalResult result;
    const char* caption;
};

constexpr std::array<ButtonSpec, 6> kButtonOrder{{
    {ModalResult::Yes, "&Yes"},
    {ModalResult::No, "&No"},
    {ModalResult::OK, "OK"},
    {ModalResult::Cancel, "Cancel"},
    {ModalResult::Abort, "&Abort"},
    {ModalResult::All, "&All"},
}};

char mnemonicOf(const std::string& caption) {
    const auto amp = caption.find('&');
    if (amp == std::string::npos || amp + 1 >= caption.size()) {
        return 0;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[amp + 1])));
}

std::string titleOf(DialogKind kind, const std::string& applicationTitle) {
    switch (kind) {
    case DialogKind::Warning:
        return "Warning";
    case DialogKind::Error:
        return "Error";
    case DialogKind::Information:
        return "Information";
    case DialogKind::Confirmation:
        return "Confirm";
    case DialogKind::Plain:
        break;
    }
    return applicationTitle;
}

DialogIcon iconOf(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning:
        return DialogIcon::Warning;
    case DialogKind::Error:
        return DialogIcon::Stop;
    case DialogKind::Information:
        return DialogIcon::Information;
    case DialogKind::Confirmation:
        return DialogIcon::Question;
    case DialogKind::Plain:
        break;
    }
    return DialogIcon::None;
}

bool contains(const std::vector<ModalResult>& set, ModalResult result) {
    return std::find(set.begin(), set.end(), result) != set.end();
}

// Esc presses Cancel when offered, else No, else OK.
ModalResult escapeResultOf(const std::vector<ModalResult>& set) {
    for (ModalResult candidate : {ModalResult::Cancel, ModalResult::No}) {
        if (contains(set, candidate)) {
            return candidate;
        }
    }
    return ModalResult::OK;
}

} // namespace

DialogModel makeDialogModel(const std::string& text, DialogKind kind,
                            const std::vector<ModalResult>& buttons,
                            const std::string& applicationTitle) {
    DialogModel model;
    model.title = titleOf(kind, applicationTitle);
    model.icon = iconOf(kind);
    model.text = displayText(shortenedText(text));
    for (const ButtonSpec& spec : kButtonOrder) {
        if (contains(buttons, spec.result)) {
            model.buttons.push_back({spec.result, spec.caption, mnemonicOf(spec.caption)});
        }
    }
    model.focusIndex = 0;
    model.escapeResult = escapeResultOf(buttons);
    model.closeResult = ModalResult::Cancel;
    return model;
}

std::optional<ModalResult> resultForMnemonic(const DialogModel& model, char letter) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const DialogButtonModel& button : model.buttons) {
        if (button.mnemonic != 0 && button.mnemonic == upper) {
            return button.result;
        }
    }
    return std::nullopt;
}

namespace {

std::size_t charactersIn(const std::string& text, std::size_t from, std::size_t to) {
    return static_cast<std::size_t>(std::count_if(text.begin() + static_cast<long>(from),
                                                  text.begin() + static_cast<long>(to),
                                                  startsCharacter));
}

// Where the n-th character from `from` starts; `to` when there are fewer.
std::size_t afterCharacters(const std::string& text, std::size_t from, std::size_t to,
                            std::size_t n) {
    for (std::size_t i = from; i < to; ++i) {
        if (startsCharacter(text[i]) && n-- == 0) {
            return i;
        }
    }
    return to;
}

} // namespace

std::string shortenedText(const std::string& message) {
    const std::size_t total = charactersIn(message, 0, message.size());
    if (total <= kShownCharacters) {
        return message;
    }
    // The longest line: a path, or a value read from a file.
    std::size_t start = 0, end = 0, longest = 0;
    for (std::size_t from = 0; from <= message.size();) {
        const std::size_t to = std::min(message.find_first_of("\n\r", from), message.size());
        if (const std::size_t length = charactersIn(message, from, to); length > longest) {
            start = from, end = to, longest = length;
        }
        from = to + 1;
    }
    const std::size_t excess = total - kShownCharacters + 1; // with the "…"
    if (longest <= excess) {
        // No one line is long enough: the message's start.
        return message.substr(0, afterCharacters(message, 0, message.size(), kShownCharacters)) +
               "…";
    }
    const std::size_t kept = longest - excess;
    const std::size_t headEnd = afterCharacters(message, start, end, kept - kept / 2);
    const std::size_t tailStart = afterCharacters(message, start, end, longest - kept / 2);
    return message.substr(0, headEnd) + "…" + message.substr(tailStart);
}

std::string errorBoxDisplayText(const std::string& message) {
    const std::string shortened = shortenedText(message);
    std::string text;
    text.reserve(shortened.size() + shortened.size() / kLongestUnbrokenRun);
    std::size_t run = 0;
    for (const char c : shortened) {
        if (c == ' ' || c == '\n' || c == '\r') {
            run = 0;
        } else if (startsCharacter(c) && ++run > kLongestUnbrokenRun) {
            text += '\n';
            run = 1;
        }
        text += c;
    }
    return text;
}

std::string displayText(const std::string& message) {
    std::string text;
    text.reserve(message.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        const char c = message[i];
        if (c == '\r') {
            // A CR next to an LF belongs to its pair; a CR of its own is a break too.
            const bool afterLf = i > 0 && message[i - 1] == '\n';
            const bool beforeLf = i + 1 < message.size() && message[i + 1] == '\n';
            if (afterLf || beforeLf) {
                continue;
            }
            text += '\n';
            continue;
        }
        text += c;
    }
    return text;
}

std::string boxCopyText(const std::string& title, const std::string& message,
                        const std::vector<std::string>& captions) {
    const std::string separator = "---------------------------\n";
    std::string buttons;
    for (const std::string& caption : captions) {
        std::copy_if(caption.begin(), caption.end(), std::back_inserter(buttons),
                     [](char c) { return c != '&'; });
        buttons += "   ";
    }
    return separator + title + "\n" + separator + message + "\n" + separator + buttons + "\n" +
           separator;
}

} // namespace kivo
