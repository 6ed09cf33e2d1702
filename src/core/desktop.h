#pragma once

#include "core/geometry.h"
#include "core/shape/outline.h"
#include "core/window/message_dialog.h"

#include <optional>
#include <string>
#include <vector>

namespace kivo {

enum class WindowLevel { Normal, Topmost };

enum class CursorShape { Hand, SizeAll, Forbidden, Arrow };

enum class MouseButton { Left, Right, Middle };

// Where a handler lets the pending window events run, named so that the test fake can run an
// event exactly there.
enum class LetRunPoint {
    // A tick of the breathing.
    TickStart,
    AfterLevel,
    AfterOutline,
    AtTheTurn,
    AtTheRest,
    BeforeRearming,
    // A press or a move of the left button on the picture.
    BeforeHiding,
    AfterHiding,
    BeforeCursor,
    AfterCursor,
};

struct OpenDialogModel {
    std::string title;
    std::string initialFolder;
    std::string fileName; // pre-filled into the name box
    std::string filterLabel;
    std::string filterPatterns; // ";"-separated, e.g. "*.bmp;*.jpg"
};

// The port: what the handlers ask of a windowing system. Operations that fail with a
// user-facing message throw KivoError.
class Desktop {
  public:
    virtual ~Desktop() = default;

    // Full path of the running executable.
    virtual std::string executablePath() const = 0;
    // Primary screen in pixels.
    virtual Size screenSize() const = 0;
    // Every screen's rectangle in the coordinates of the window's place, the primary first.
    virtual std::vector<Box> screens() const = 0;
    // Colour depth of the display, in bits per pixel.
    virtual int displayDepth() const = 0;

    virtual WindowBounds windowBounds() const = 0;
    virtual void setWindowBounds(const WindowBounds& bounds) = 0;
    virtual void closeWindow() = 0;
    // Whole removes the region; an outline with no area hides the whole window.
    virtual void setWindowOutline(const Outline& outline) = 0;
    // The core sets a level only when it changes.
    virtual void setWindowLevel(WindowLevel level) = 0;
    virtual void setWindowCursor(CursorShape cursor) = 0;

    // Image1: shows a BMP file the core has already checked, and takes the picture's size;
    // false, with the picture kept, when the toolkit cannot decode it.
    virtual bool loadPicture(const std::string& path) = 0;
    virtual Size pictureSize() const = 0;
    virtual void setPictureVisible(bool visible) = 0;
    virtual void setPictureCursor(CursorShape cursor) = 0;
    virtual void setStartButtonVisible(bool visible) = 0;
    virtual void setPanelVisible(bool visible) = 0;
    virtual void setPanelPosition(Point topLeft) = 0;
    // Busy cursor over the program's windows while a long operation runs.
    virtual void setBusy(bool busy) = 0;

    virtual void setTimerEnabled(bool enabled) = 0;
    virtual void setTimerInterval(int milliseconds) = 0;
    // Dispatches the events already queued (paints, input, timer) and returns.
    virtual void processPendingEvents(LetRunPoint point) = 0;

    // Modal; returns the model's closeResult when closed by the close box.
    virtual ModalResult showMessageDialog(const DialogModel& model) = 0;
    virtual void showErrorBox(const std::string& caption, const std::string& text) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> runOpenDialog(const OpenDialogModel& model) = 0;

    // Per-user start at logon; add is false when the entry cannot be written, removing a
    // missing entry is not an error.
    virtual bool addAutostart(const std::string& name, const std::string& executable) = 0;
    virtual void removeAutostart(const std::string& name) = 0;
};

} // namespace kivo
