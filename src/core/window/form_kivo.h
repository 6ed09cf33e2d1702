#pragma once

#include "core/desktop.h"
#include "core/window/controls.h"
#include "core/window/kivo_state.h"
#include "core/window/message_dialog.h"

#include <functional>
#include <string>
#include <vector>

namespace kivo {

inline constexpr int kTimerInterval = 10;
inline constexpr int kRestInterval = 2000;

// The main window's behaviour: every event handler, independent of the toolkit. The adapter
// calls the handlers through dispatch(); the handlers reach the window through Desktop.
class TFormKivo {
  public:
    explicit TFormKivo(Desktop& desktop);

    KivoState state;

    // Runs a handler; an error escaping it is shown in the error box and the program goes on.
    void dispatch(const std::function<void()>& handler);

    // The handlers, named after their control: Image1 is the picture, Image2 the green start
    // button over its corner, the SpeedButtons the panel's buttons.
    void FormCreate();        // start-up
    void Image2Click();       // start button: breathe
    void SpeedButton1Click(); // "Картинка": choose a picture
    void SpeedButton2Click(); // "Проверить": breathe as a trial
    void SpeedButton3Click(); // "Форма": choose the outline
    void Timer1Timer();       // a tick of the breathing
    void Image1MouseDown(MouseButton button, int x, int y); // left: drag; right: on top
    void Image1MouseMove(int x, int y);                     // the drag
    void Image1MouseUp(MouseButton button, int x, int y);   // the drag ends
    void Image1DblClick();                                  // end a trial, or close
    // Screens came, went or changed size: a window that none shows enough of comes back.
    void ScreensChanged();
    // While nobody can see the window, Timer1 waits; everything else means what it meant.
    void SeenChanged(bool seen);

    void Autorun(bool add, const std::string& name, const std::string& path);
    std::string preobraz(const std::string& path);

    ModalResult ShowDialog(const std::string& text, DialogKind kind,
                           const std::vector<ModalResult>& buttons);
    void ShowNote(const std::string& text);

    std::string applicationTitle() const;
    // The window was closed by its handler.
    bool closed() const { return closed_; }

  private:
    // Shows a modal dialog with the main window lowered to normal level meanwhile.
    void runModal(const std::function<void()>& showDialog);
    // The window's level as last set: asked of no desktop, and set again only when it changes.
    void setWindowLevel(WindowLevel level);
    void startAnimation(bool trial);
    // Timer1 as the handlers enable it; the desktop's runs only while the window is seen.
    void setTimer1Enabled(bool enabled);
    // The right-button branch of Image1MouseDown: the stay-on-top question.
    void askStayOnTop();
    // The window at its saved place and size, within what it may open at.
    void openWindowAt(WindowBounds saved, const WindowBounds& design);
    // Moves a window that no screen shows enough of onto the nearest one; Changed stays.
    void keepWindowReachable();
    void centrePanel();
    void loadImage1(const std::string& path);
    // SpeedButton1Click's steps: bringing the chosen file into the picture folder (false once
    // a failure has been reported), taking the loaded picture, and going back to the previous.
    bool copyIntoPictureFolder(const std::string& chosen, const std::string& target);
    void acceptPicture(const std::string& target);
    void restorePreviousPicture();

    Desktop& desktop_;
    WindowLevel level_ = WindowLevel::Normal;
    // Button releases so far: a press starts a drag only if its own release has not already
    // run at one of its let-run points.
    unsigned releases_ = 0;
    bool closed_ = false;
    bool seen_ = true;
    bool timer1Enabled_ = false;
};

// Half the larger side of a picture, the inset at which the outline vanishes.
std::int32_t halfLargerSide(Size picture);

// The executable's file name up to its first ".", the first letter unchanged, the rest in
// lower case: the ASCII letters and the Cyrillic ones of the Windows code page.
std::string applicationTitleFor(const std::string& executablePath);

// The error box's text: a full stop is appended unless the message ends in "." or in a
// character that sorts before it.
std::string errorBoxText(const std::string& message);

std::string withTrailingSeparator(std::string folder);

// The folder of the executable, ending in the separator.
std::string programDirOf(const std::string& executablePath);

} // namespace kivo
