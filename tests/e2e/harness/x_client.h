#pragma once

#include "image.h"

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
    bool dialog = false;
};

using WindowFilter = std::function<bool(const WindowInfo&)>;

// One connection to the test's X server: finds windows, reads them back, fakes input. All
// sampling goes through this connection, so a test never floods the server with clients.
class XClient {
  public:
    explicit XClient(const std::string& displayName);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // Viewable windows whose WM name or _NET_WM_NAME is the title.
    std::vector<WindowInfo> windowsTitled(const std::string& title,
                                          const WindowFilter& accept = {});
    std::optional<WindowInfo> waitForWindow(const std::string& title,
                                            std::chrono::milliseconds timeout,
                                            const WindowFilter& accept = {});
    bool waitUntilGone(WindowId window, std::chrono::milliseconds timeout);

    bool viewable(WindowId window);
    Rect geometry(WindowId window);
    // The outermost ancestor below the root: the window manager's frame, or the window itself.
    Rect frameGeometry(WindowId window);
    // The bounding shape, relative to the window; one rectangle when the window is unshaped.
    std::vector<Rect> shapeRectangles(WindowId window);
    Image capture(const Rect& area);

    void moveMouse(int x, int y);
    void pressButton(int button = 1);
    void releaseButton(int button = 1);
    void click(int x, int y, int button = 1);
    void doubleClick(int x, int y);
    void drag(int fromX, int fromY, int toX, int toY, int steps = 10);
    // Key names as XStringToKeysym knows them: "Return", "Escape", "n".
    void pressKey(const std::string& keysym);

  private:
    std::string titleOf(WindowId window);
    bool isDialog(WindowId window);
    void collectTitled(WindowId parent, const std::string& title, const WindowFilter& accept,
                       std::vector<WindowInfo>& found);
    void settle();

    _XDisplay* display_;
    WindowId root_;
};

} // namespace kivo::e2e
