#include "x_client.h"

#include "wait.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <algorithm>
#include <bit>
#include <memory>
#include <stdexcept>

namespace kivo::e2e {

namespace {

// Windows come and go while a test looks at them; such errors are expected and harmless.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

std::vector<unsigned char> property(Display* display, Window window, const char* name, Atom type,
                                    unsigned long* count) {
    Atom actualType = None;
    int format = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    *count = 0;
    const Atom atom = XInternAtom(display, name, False);
    if (XGetWindowProperty(display, window, atom, 0, 4096, False, type, &actualType, &format, count,
                           &after, &data) != Success ||
        data == nullptr) {
        return {};
    }
    const std::size_t bytes = *count * (format == 32 ? sizeof(long) : format / 8);
    std::vector<unsigned char> value(data, data + bytes);
    XFree(data);
    return value;
}

// The window's parent and its children, from the bottom of the stack to its top; none once the
// window is gone.
struct Tree {
    Window parent = 0;
    std::vector<Window> children;
};

std::optional<Tree> treeOf(Display* display, Window window) {
    Tree tree;
    Window root = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &tree.parent, &children, &count) == 0) {
        return std::nullopt;
    }
    tree.children.assign(children, children + count);
    XFree(children);
    return tree;
}

Window focusOf(Display* display) {
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    return focus;
}

} // namespace

XClient::XClient(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {
    if (display_ == nullptr) {
        throw std::runtime_error("cannot connect to X display " + displayName);
    }
    XSetErrorHandler(ignoreXError);
    root_ = DefaultRootWindow(display_);
    int errorBase = 0;
    if (!XShapeQueryExtension(display_, &shapeEventBase_, &errorBase)) {
        throw std::runtime_error("the X server has no SHAPE extension");
    }
}

XClient::~XClient() {
    XCloseDisplay(display_);
}

std::string XClient::titleOf(Window window) {
    unsigned long count = 0;
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    const auto netName = property(display_, window, "_NET_WM_NAME", utf8, &count);
    if (!netName.empty()) {
        return {netName.begin(), netName.end()};
    }
    char* name = nullptr;
    if (XFetchName(display_, window, &name) == 0 || name == nullptr) {
        return {};
    }
    std::string title = name;
    XFree(name);
    return title;
}

// _MOTIF_WM_HINTS: flags, functions, decorations...; flag 2 says the decorations are given.
bool XClient::isDecorated(Window window) {
    unsigned long count = 0;
    const auto hints = property(display_, window, "_MOTIF_WM_HINTS", AnyPropertyType, &count);
    if (count < 3) {
        return true;
    }
    const auto* fields = reinterpret_cast<const long*>(hints.data());
    return (fields[0] & 2) == 0 || fields[2] != 0;
}

void XClient::collectTitled(Window parent, const std::string& title, const WindowFilter& accept,
                            std::vector<WindowInfo>& found) {
    const auto tree = treeOf(display_, parent);
    if (!tree) {
        return;
    }
    for (const Window window : tree->children) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display_, window, &attributes) == 0 ||
            attributes.map_state != IsViewable) {
            continue;
        }
        // A popup that no window manager frames (a tooltip, a completion list) carries the
        // program's title too, but is none of its windows.
        if (!attributes.override_redirect && titleOf(window) == title) {
            const WindowInfo info{window, title, geometry(window), isDecorated(window)};
            if (!accept || accept(info)) {
                found.push_back(info);
            }
        }
        collectTitled(window, title, accept, found);
    }
}

std::vector<WindowInfo> XClient::windowsTitled(const std::string& title,
                                               const WindowFilter& accept) {
    std::vector<WindowInfo> found;
    collectTitled(root_, title, accept, found);
    return found;
}

std::optional<WindowInfo> XClient::waitForWindow(const std::string& title,
                                                 std::chrono::milliseconds timeout,
                                                 const WindowFilter& accept) {
    std::vector<WindowInfo> found;
    waitUntil(timeout, [&] {
        found = windowsTitled(title, accept);
        return !found.empty();
    });
    return found.empty() ? std::nullopt : std::optional(found.front());
}

bool XClient::viewable(Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display_, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

bool XClient::windowManagerRunning() {
    unsigned long count = 0;
    property(display_, root_, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, &count);
    return count == 1;
}

bool XClient::hasInputFocus(Window window) {
    return focusOf(display_) == window;
}

std::string XClient::inputFocus() {
    const Window focus = focusOf(display_);
    return std::to_string(focus) + (focus > PointerRoot ? " \"" + titleOf(focus) + "\"" : "");
}

Rect XClient::geometry(Window window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) {
        return {};
    }
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

Window XClient::outermostOf(Window window) {
    Window outermost = window;
    for (;;) {
        const auto tree = treeOf(display_, outermost);
        if (!tree) {
            return 0;
        }
        if (tree->parent == root_ || tree->parent == 0) {
            return outermost;
        }
        outermost = tree->parent;
    }
}

bool XClient::stackedAbove(Window upper, Window lower) {
    const Window up = outermostOf(upper);
    const Window down = outermostOf(lower);
    const auto tree = treeOf(display_, root_);
    if (up == 0 || down == 0 || !tree) {
        return false;
    }
    const std::vector<Window>& stack = tree->children;
    const auto at = [&](Window w) { return std::find(stack.begin(), stack.end(), w); };
    return at(up) != stack.end() && at(down) != stack.end() && at(up) > at(down);
}

Rect XClient::frameGeometry(Window window) {
    const Window outermost = outermostOf(window);
    if (outermost == 0) {
        return {};
    }
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, outermost, &attributes);
    const int border = attributes.border_width;
    return {attributes.x, attributes.y, attributes.width + 2 * border,
            attributes.height + 2 * border};
}

std::vector<Rect> XClient::shapeRectangles(Window window) {
    int count = 0;
    int ordering = 0;
    XRectangle* rectangles =
        XShapeGetRectangles(display_, window, ShapeBounding, &count, &ordering);
    std::vector<Rect> result;
    for (int i = 0; i < count; ++i) {
        result.push_back(
            {rectangles[i].x, rectangles[i].y, rectangles[i].width, rectangles[i].height});
    }
    XFree(rectangles);
    return result;
}

void XClient::setScreenSaver(bool active) {
    XForceScreenSaver(display_, active ? ScreenSaverActive : ScreenSaverReset);
    XSync(display_, False);
}

WindowId XClient::coverArea(const Rect& area) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True; // placed where asked, above the others
    attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
    const Window cover =
        XCreateWindow(display_, root_, area.x, area.y, static_cast<unsigned>(area.width),
                      static_cast<unsigned>(area.height), 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display_, cover);
    XSync(display_, False);
    return cover;
}

void XClient::destroyWindow(WindowId window) {
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

void XClient::setResources(const std::string& resources) {
    XChangeProperty(display_, root_, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.data()),
                    static_cast<int>(resources.size()));
    XSync(display_, False);
}

std::vector<std::string> XClient::netWmState(Window window) {
    unsigned long count = 0;
    const auto atoms = property(display_, window, "_NET_WM_STATE", XA_ATOM, &count);
    std::vector<std::string> names;
    for (unsigned long i = 0; i < count; ++i) {
        char* name = XGetAtomName(display_, reinterpret_cast<const Atom*>(atoms.data())[i]);
        if (name != nullptr) {
            names.emplace_back(name);
            XFree(name);
        }
    }
    return names;
}

Image XClient::capture(const Rect& requested) {
    // What lies past the screen's right and bottom edges is not there to capture.
    Rect area = requested;
    area.width = std::min(area.width, DisplayWidth(display_, DefaultScreen(display_)) - area.x);
    area.height = std::min(area.height, DisplayHeight(display_, DefaultScreen(display_)) - area.y);
    std::unique_ptr<XImage, int (*)(XImage*)> shot(
        XGetImage(display_, root_, area.x, area.y, static_cast<unsigned>(area.width),
                  static_cast<unsigned>(area.height), AllPlanes, ZPixmap),
        [](XImage* image) { return XDestroyImage(image); });
    if (!shot) {
        throw std::runtime_error("cannot capture the screen area");
    }
    // A true-colour screen: each channel is one run of bits of the pixel.
    const auto channel = [](unsigned long pixel, unsigned long mask) {
        return static_cast<int>((pixel & mask) >> std::countr_zero(mask));
    };
    Image image(area.width, area.height);
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            const unsigned long pixel = XGetPixel(shot.get(), x, y);
            image.set(x, y,
                      {channel(pixel, shot->red_mask), channel(pixel, shot->green_mask),
                       channel(pixel, shot->blue_mask)});
        }
    }
    return image;
}

std::string XClient::clipboardText(std::chrono::milliseconds timeout) {
    const Atom clipboard = XInternAtom(display_, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    const Atom target = XInternAtom(display_, "KIVO_E2E_CLIPBOARD", False);
    const Window requestor = XCreateSimpleWindow(display_, root_, 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(display_, clipboard, utf8, target, requestor, CurrentTime);
    XFlush(display_);
    XEvent event{};
    const bool answered = waitUntil(timeout, [&] {
        return XCheckTypedWindowEvent(display_, requestor, SelectionNotify, &event) == True;
    });
    std::string text;
    if (answered && event.xselection.property != None) {
        unsigned long count = 0;
        const auto bytes = property(display_, requestor, "KIVO_E2E_CLIPBOARD", utf8, &count);
        text.assign(bytes.begin(), bytes.end());
    }
    XDestroyWindow(display_, requestor);
    return text;
}

} // namespace kivo::e2e
