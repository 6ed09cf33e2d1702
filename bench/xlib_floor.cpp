// The floor for the breathing: plain Xlib and SHAPE doing only the outline work of a tick. It
// shows a gradient of the given size, then breathes as the program does (one pixel per tick,
// a 10 ms timer re-armed after the tick's work, a 2 s rest at full size, a flush per tick),
// and repaints exposures from a server-side pixmap. Usage: kivo_xlib_floor WIDTH HEIGHT VID
#include "core/shape/outline.h"
#include "core/window/form_kivo.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The bench's picture, made once on the server.
Pixmap gradientPixmap(Display* display, Window window, int width, int height) {
    const int screen = DefaultScreen(display);
    std::vector<unsigned int> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<std::size_t>(y) * width + x] =
                (160u << 16) | (static_cast<unsigned>(y % 256) << 8) | (x % 256);
        }
    }
    XImage* image = XCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(pixels.data()), width, height, 32, 0);
    const Pixmap pixmap = XCreatePixmap(display, window, width, height, 24);
    XPutImage(display, pixmap, DefaultGC(display, screen), image, 0, 0, 0, 0, width, height);
    image->data = nullptr; // the vector owns the pixels
    XDestroyImage(image);
    return pixmap;
}

void setOutline(Display* display, Window window, const kivo::Outline& outline) {
    if (outline.kind == kivo::OutlineKind::Whole) {
        XShapeCombineMask(display, window, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    std::vector<XRectangle> rects;
    for (const kivo::Box& box : kivo::outlineRects(outline)) {
        rects.push_back({static_cast<short>(box.left), static_cast<short>(box.top),
                         static_cast<unsigned short>(box.right - box.left),
                         static_cast<unsigned short>(box.bottom - box.top)});
    }
    if (rects.empty()) {
        rects.push_back({-1, -1, 1, 1}); // a pixel outside the window: nothing shows
    }
    XShapeCombineRectangles(display, window, ShapeBounding, 0, 0, rects.data(),
                            static_cast<int>(rects.size()), ShapeSet, YXBanded);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fputs("usage: kivo_xlib_floor WIDTH HEIGHT VID\n", stderr);
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    const int vid = std::atoi(argv[3]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr || width <= 0 || height <= 0) {
        return 1;
    }
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, 0, 0);
    XSetWindowAttributes attributes;
    attributes.background_pixmap = None;
    XChangeWindowAttributes(display, window, CWBackPixmap, &attributes);
    XStoreName(display, window, "kivo-floor");
    XSelectInput(display, window, ExposureMask);
    const Pixmap picture = gradientPixmap(display, window, width, height);
    const GC gc = XCreateGC(display, window, 0, nullptr);
    XMapWindow(display, window);

    const std::int32_t insetMax = kivo::halfLargerSide({width, height});
    std::int32_t inset = insetMax;
    bool shrinking = false;
    auto nextTick = Clock::now() + std::chrono::milliseconds(kivo::kTimerInterval);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == Expose) {
                const XExposeEvent& e = event.xexpose;
                XCopyArea(display, picture, window, gc, e.x, e.y, static_cast<unsigned>(e.width),
                          static_cast<unsigned>(e.height), e.x, e.y);
            }
        }
        XFlush(display);
        // To the nanosecond, as the program's precise timer waits: a wait rounded up to whole
        // milliseconds would tick the floor slower than the program.
        const auto wait = std::chrono::nanoseconds(nextTick - Clock::now()).count();
        if (wait > 0) {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            const timespec timeout{wait / 1000000000, wait % 1000000000};
            ppoll(&connection, 1, &timeout, nullptr);
            continue;
        }
        inset += shrinking ? 1 : -1;
        setOutline(display, window, kivo::outlineFor(vid, inset, width, height));
        XFlush(display);
        int interval = kivo::kTimerInterval;
        if (inset == insetMax && shrinking) {
            shrinking = false;
        }
        if (inset == 0) {
            interval = kivo::kRestInterval;
            shrinking = true;
        }
        nextTick = Clock::now() + std::chrono::milliseconds(interval);
    }
}
