#pragma once

#include <QAbstractNativeEventFilter>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace kivo::qt {

// Whether anyone can see the window, as the X server tells it: not while its screen saver
// runs (which the server also starts when DPMS turns the display off), nor while other windows
// cover the window wholly (which a server reports only where no compositor draws the screen).
// Without an X server it reports nothing.
class X11Seen : public QAbstractNativeEventFilter {
  public:
    ~X11Seen() override;
    // From now on, each change goes to seenChanged; and to mayHaveUncovered each time that
    // hidden parts of the window may have come to light: its visibility changed, or, while
    // not all of it shows, another window or the window itself came, went or moved, or the
    // screen changed its size.
    void watch(QWidget& window, std::function<void(bool)> seenChanged,
               std::function<void()> mayHaveUncovered);
    // Asks for the window's visibility again: Qt sets the native window's events anew when
    // its flags change.
    void selectVisibility();
    // An outline that shows nothing hides the window from the server itself; the window is
    // then not taken for covered.
    void setOutlineEmpty(bool empty);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    void update();

    std::uint32_t window_ = 0;
    std::uint8_t saverEvent_ = 0; // the screen saver extension's first event; 0 without one
    bool saverOn_ = false;
    bool obscured_ = false;       // wholly, as the server last told
    bool allShown_ = false;       // nothing hides any part of it, as the server last told
    bool rootEventsOurs_ = false; // Qt did not ask for the root's children's events
    bool outlineEmpty_ = false;
    bool seen_ = true;
    std::function<void(bool)> seenChanged_;
    std::function<void()> mayHaveUncovered_;
};

} // namespace kivo::qt
