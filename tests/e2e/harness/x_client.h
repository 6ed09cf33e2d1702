#pragma once

#include "image.h"
#include "wait.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace kivo::e2e {

// An X window id; Xlib's own header stays out of here, its macros break GoogleTest.
using WindowId = unsigned long;

struct WindowInfo {
    WindowId id = 0;
    std::string title;
    Rect geometry; // the client area in root coordinates
    // Leaves its frame to the window manager; the borderless main window asks for none, the
    // program's dialogs and error boxes do not.
    bool decorated = true;
};

using WindowFilter = std::function<bool(const WindowInfo&)>;

// One change of a watched window's bounding shape, as the server announced it.
struct ShapeChange {
    Rect extents;        // relative to the window
    bool shaped = false; // false once the shape is removed and the window shows whole
    std::chrono::steady_clock::time_point seen;
};

using ShapeFilter = std::function<bool(const ShapeChange&)>;

// One connection to the test's X server: finds windows, reads them back, fakes input. All
// sampling goes through this connection, so a test never floods the server with clients.
class XClient {
  public:
    explicit XClient(const std::string& displayName);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // Viewable managed windows whose WM name or _NET_WM_NAME is the title.
    std::vector<WindowInfo> windowsTitled(const std::string& title,
                                          const WindowFilter& accept = {});
    std::optional<WindowInfo> waitForWindow(const std::string& title,
                                            std::chrono::milliseconds timeout,
                                            const WindowFilter& accept = {});
    bool waitUntilGone(WindowId window, std::chrono::milliseconds timeout) {
        return waitUntil(timeout, [&] { return !viewable(window); });
    }

    bool viewable(WindowId window);
    // Whether a window manager has announced itself on the root window.
    bool windowManagerRunning();
    // Whether key presses now go to the window.
    bool hasInputFocus(WindowId window);
    // The window that key presses now go to, by id and title, for a failure's message.
    std::string inputFocus();
    Rect geometry(WindowId window);
    // The outermost ancestor below the root: the window manager's frame, or the window itself.
    Rect frameGeometry(WindowId window);
    // Whether the first window, with its frame, lies above the second in the stack.
    bool stackedAbove(WindowId upper, WindowId lower);
    // The bounding shape, relative to the window; one rectangle when the window is unshaped.
    std::vector<Rect> shapeRectangles(WindowId window);
    // The area, less what lies past the screen's right and bottom edges.
    Image capture(const Rect& area);
    // Starts or ends the X server's screen saver, as a locked screen does.
    void setScreenSaver(bool active);
    // A plain window of the server's own, mapped over the area until the returned window is
    // destroyed with destroyWindow.
    WindowId coverArea(const Rect& area);
    void destroyWindow(WindowId window);
    // Replaces the X resources (RESOURCE_MANAGER) that programs read as they start.
    void setResources(const std::string& resources);
    // Atom names in the window's _NET_WM_STATE, which the window manager keeps.
    std::vector<std::string> netWmState(WindowId window);

    // From now on every change of the window's shape is queued for nextShapeChange, so a test
    // follows the outline tick by tick instead of sampling it.
    void watchShape(WindowId window);
    std::optional<ShapeChange> nextShapeChange(std::chrono::milliseconds timeout);
    // Skips changes until one is accepted.
    std::optional<ShapeChange> waitForShapeChange(std::chrono::milliseconds timeout,
                                                  const ShapeFilter& accept);

    void moveMouse(int x, int y);
    void pressButton(int button = 1);
    void releaseButton(int button = 1);
    void click(int x, int y, int button = 1);
    void doubleClick(int x, int y);
    void drag(int fromX, int fromY, int toX, int toY, int steps = 10);
    // Key names as XStringToKeysym knows them: "Return", "Escape", "n".
    void pressKey(const std::string& keysym) { pressChord({keysym}); }
    // Held down together and released in reverse order: {"Control_L", "a"}.
    void pressChord(const std::vector<std::string>& keysyms);
    // Printable ASCII, with Shift where the keyboard map needs it.
    void typeText(const std::string& text);

    // The UTF-8 text that the CLIPBOARD selection's owner hands over; empty when there is
    // none within the timeout.
    std::string clipboardText(std::chrono::milliseconds timeout);

  private:
    std::string titleOf(WindowId window);
    WindowId outermostOf(WindowId window); // 0 once the window is gone
    bool isDecorated(WindowId window);
    void collectTitled(WindowId parent, const std::string& title, const WindowFilter& accept,
                       std::vector<WindowInfo>& found);
    void settle();

    _XDisplay* display_;
    WindowId root_;
    int shapeEventBase_ = 0;
};

} // namespace kivo::e2e
