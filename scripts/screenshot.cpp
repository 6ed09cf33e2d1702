// Shows a headless user what the ornament looks like: a PNG of the window, cropped from the
// X screen's black; with a folder, it also clicks the start button and saves one breath there
// as numbered PNG frames.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <cstdio>

namespace {

// From the first frame to the last: growing, the two-second rest, shrinking.
constexpr int kFrames = 52;
constexpr int kFrameMilliseconds = 100;

// The smallest rectangle holding every pixel that is not the empty screen's black.
QRect windowArea(const QImage& screen) {
    QRect area;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            if ((screen.pixel(x, y) & 0xFFFFFF) != 0) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

bool clickAt(QPoint point) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XTestFakeMotionEvent(display, -1, point.x(), point.y(), CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XCloseDisplay(display);
    return true;
}

QImage grab(const QRect& area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: kivo-screenshot OUTPUT.png [FRAMES-FOLDER]\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    const QRect area = windowArea(screen);
    if (area.isEmpty() || !screen.copy(area).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "kivo-screenshot: cannot save %s\n", argv[1]);
        return 1;
    }
    if (argc == 2) {
        return 0;
    }
    // The start button lies in the window's top-left corner.
    if (!clickAt(area.topLeft() + QPoint(10, 10))) {
        std::fprintf(stderr, "kivo-screenshot: cannot click the start button\n");
        return 1;
    }
    // A margin of the screen around it: the window takes its picture's size as it starts.
    const QRect frameArea = area.adjusted(-4, -4, 4, 4) & screen.rect();
    const QString folder = QString::fromLocal8Bit(argv[2]);
    for (int frame = 0; frame < kFrames; ++frame) {
        QThread::msleep(kFrameMilliseconds);
        const QString name = QString("%1/frame-%2.png").arg(folder).arg(frame, 3, 10, QChar('0'));
        if (!grab(frameArea).save(name, "PNG")) {
            std::fprintf(stderr, "kivo-screenshot: cannot save %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
