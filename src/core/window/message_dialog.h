#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kivo {

enum class ModalResult { OK, Cancel, Abort, Yes, No, All };

enum class DialogKind { Warning, Error, Information, Confirmation, Plain };

enum class DialogIcon { None, Warning, Stop, Information, Question };

struct DialogButtonModel {
    ModalResult result;
    std::string caption; // "&" marks the mnemonic letter
    char mnemonic;       // upper-case ASCII letter, or 0 when the caption has none
};

// Everything an adapter needs to draw the dialog and map keys to results.
struct DialogModel {
    std::string title;
    DialogIcon icon = DialogIcon::None;
    std::string text;                       // line breaks as single "\n"
    std::vector<DialogButtonModel> buttons; // in layout order, left to right
    std::size_t focusIndex = 0;             // the button focused when the dialog opens
    ModalResult escapeResult = ModalResult::Cancel;
    ModalResult closeResult = ModalResult::Cancel; // close box and Alt+F4
};

// Builds the dialog for a message; the buttons may be named in any order and are laid out
// in the fixed order Yes, No, OK, Cancel, Abort, All.
DialogModel makeDialogModel(const std::string& text, DialogKind kind,
                            const std::vector<ModalResult>& buttons,
                            const std::string& applicationTitle);

// The button a typed letter presses, with or without Alt and in either case.
std::optional<ModalResult> resultForMnemonic(const DialogModel& model, char letter);

// The program's messages break lines with LF CR; a dialog shows each pair as one break.
std::string displayText(const std::string& message);

// The most characters a dialog or the error box shows of a message: a settings value or a
// path can be megabytes long, and a box must fit on the screen and build at once.
inline constexpr std::size_t kShownCharacters = 400;

// The message in kShownCharacters characters at most (UTF-8, never split): its longest line
// loses its middle to a "…", so that the lines around it and both its ends still show.
std::string shortenedText(const std::string& message);

// The longest run of characters without a blank that the error box shows on one line: the
// system's box breaks lines only at blanks, and a long path would make it wider than a screen.
inline constexpr std::size_t kLongestUnbrokenRun = 160;

// The error box's text as shown: shortened, with a line break in every longer run.
std::string errorBoxDisplayText(const std::string& message);

// What Ctrl+C in a box copies, as the system's boxes on Windows copy theirs, for a report: the
// title, the message and the buttons' captions without "&", between separator lines.
std::string boxCopyText(const std::string& title, const std::string& message,
                        const std::vector<std::string>& captions);

} // namespace kivo
