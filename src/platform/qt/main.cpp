#include "core/window/form_kivo.h"
#include "qt_desktop.h"
#include "qt_text.h"

#include <QApplication>
#include <cstdlib>

namespace {

// The ornament places its own window, which Wayland forbids; XWayland allows it.
void preferX11OnWayland() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    if (wayland != nullptr && *wayland != '\0' && x11 != nullptr && *x11 != '\0') {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    preferX11OnWayland();
    QApplication app(argc, argv);
    kivo::qt::QtDesktop desktop;
    kivo::TFormKivo form(desktop);
    desktop.connect(form);
    const QString title = kivo::qt::toQString(form.applicationTitle());
    QApplication::setApplicationName(title);
    desktop.window().setWindowTitle(title);

    form.dispatch([&] { form.FormCreate(); });
    desktop.window().show();
    return QApplication::exec();
}
