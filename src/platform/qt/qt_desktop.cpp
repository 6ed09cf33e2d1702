#include "qt_desktop.h"

#include "box_copy.h"
#include "core/error.h"
#include "core/picture/bitmap_check.h"
#include "core/system/files.h"
#include "core/window/form_kivo.h"
#include "qt_cursor.h"
#include "qt_message_dialog.h"
#include "qt_text.h"
#include "x11_window.h"
#include "xdg_autostart.h"

#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QImageReader>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>
#include <unistd.h>

namespace kivo::qt {

namespace {

// Where there is no X server to take the rows as they are.
void setQtMask(QWidget& window, const std::optional<std::vector<Box>>& rows) {
    if (!rows) {
        window.clearMask();
        return;
    }
    std::vector<QRect> qrects;
    qrects.reserve(rows->size());
    for (const Box& box : *rows) {
        qrects.emplace_back(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1));
    }
    // Qt reads an empty region as "no mask" and would show the whole window; a pixel outside
    // the window shows nothing instead.
    QRegion region(-1, -1, 1, 1);
    if (!qrects.empty()) {
        region.setRects(qrects.data(), static_cast<int>(qrects.size()));
    }
    window.setMask(region);
}

} // namespace

QtDesktop::QtDesktop() = default;

void QtDesktop::connect(TFormKivo& form) {
    FormInput& input = input_.emplace(form);
    window_.bind(input);
    const auto watch = [&input](QScreen* screen) {
        QObject::connect(screen, &QScreen::geometryChanged, [&input] { input.screensChanged(); });
    };
    for (QScreen* screen : QGuiApplication::screens()) {
        watch(screen);
    }
    QObject::connect(qGuiApp, &QGuiApplication::screenAdded, [&input, watch](QScreen* screen) {
        watch(screen);
        input.screensChanged();
    });
    seen_.watch(
        window_, [&input](bool seen) { input.seenChanged(seen); },
        [this] { serverPainting_.repaint(); });
    // Sent while the screen is still listed: look once it is gone.
    QObject::connect(
        qGuiApp, &QGuiApplication::screenRemoved, &window_, [&input] { input.screensChanged(); },
        Qt::QueuedConnection);
}

// The bytes the system gives: a folder whose name is not UTF-8 is a folder like any other.
std::string QtDesktop::executablePath() const {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return toStdString(QCoreApplication::applicationFilePath());
    }
    path.resize(static_cast<std::size_t>(length));
    return path;
}

Size QtDesktop::screenSize() const {
    const QSize size = QGuiApplication::primaryScreen()->geometry().size();
    return {size.width(), size.height()};
}

std::vector<Box> QtDesktop::screens() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    std::vector<Box> boxes;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        const Box box{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
        boxes.insert(screen == primary ? boxes.begin() : boxes.end(), box);
    }
    return boxes;
}

int QtDesktop::displayDepth() const {
    return QGuiApplication::primaryScreen()->depth();
}

WindowBounds QtDesktop::windowBounds() const {
    const QRect g = window_.geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

void QtDesktop::setWindowBounds(const WindowBounds& bounds) {
    if (bounds.width != window_.width() || bounds.height != window_.height()) {
        serverPainting_.stop();
    }
    window_.move(bounds.left, bounds.top);
    window_.resize(bounds.width, bounds.height);
}

void QtDesktop::closeWindow() {
    window_.close();
}

void QtDesktop::setWindowOutline(const Outline& outline) {
    // Only the picture shows through a changing outline: the server can paint it.
    const bool stillImage = window_.control(Control::Panel1)->isHidden() &&
                            window_.control(Control::Image2)->isHidden();
    if (outline.kind == OutlineKind::Whole || !stillImage) {
        serverPainting_.stop();
    } else {
        serverPainting_.start(window_);
    }
    std::optional<std::vector<Box>> rows;
    if (outline.kind != OutlineKind::Whole) {
        rows = outlineRects(outline);
    }
    seen_.setOutlineEmpty(rows && rows->empty());
    if (!setX11Outline(window_, rows, serverPainting_)) {
        setQtMask(window_, rows);
    }
    flushX11();
}

void QtDesktop::setWindowLevel(WindowLevel level) {
    const bool topmost = level == WindowLevel::Topmost;
    // QWidget::setWindowFlags would hide the window; the native window's flag does not.
    if (QWindow* native = window_.windowHandle()) {
        native->setFlag(Qt::WindowStaysOnTopHint, topmost);
        seen_.selectVisibility();
        serverPainting_.selectEvents();
    } else {
        window_.setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    }
    flushX11();
}

void QtDesktop::setWindowCursor(CursorShape cursor) {
    window_.setCursor(qtCursor(cursor));
}

bool QtDesktop::loadPicture(const std::string& path) {
    // Every picture the core's check lets through is shown, at four bytes a pixel.
    constexpr int kMegabytes = static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1;
    QImageReader::setAllocationLimit(kMegabytes);
    // Read by the program, so that a path whose bytes are not UTF-8 loads too.
    QByteArray bytes = QByteArray::fromStdString(readWholeFile(path));
    QBuffer file(&bytes);
    QImageReader reader(&file, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage picture = reader.read();
    if (picture.isNull()) {
        return false;
    }
    if (picture.hasAlphaChannel()) {
        // As GDI draws a bitmap: the colours as stored, the alpha byte ignored.
        picture = picture.convertToFormat(QImage::Format_ARGB32);
        picture.reinterpretAsFormat(QImage::Format_RGB32);
    }
    serverPainting_.stop();
    window_.picture(Control::Image1)->setPicture(QPixmap::fromImage(picture));
    return true;
}

Size QtDesktop::pictureSize() const {
    const QSize size = window_.picture(Control::Image1)->size();
    return {size.width(), size.height()};
}

void QtDesktop::setPictureVisible(bool visible) {
    serverPainting_.stop();
    window_.picture(Control::Image1)->setVisible(visible);
}

void QtDesktop::setPictureCursor(CursorShape cursor) {
    window_.picture(Control::Image1)->setCursor(qtCursor(cursor));
}

void QtDesktop::setStartButtonVisible(bool visible) {
    if (visible) {
        serverPainting_.stop();
    }
    window_.control(Control::Image2)->setVisible(visible);
}

void QtDesktop::setPanelVisible(bool visible) {
    if (visible) {
        serverPainting_.stop();
    }
    window_.control(Control::Panel1)->setVisible(visible);
}

void QtDesktop::setPanelPosition(Point topLeft) {
    window_.control(Control::Panel1)->move(topLeft.x, topLeft.y);
}

void QtDesktop::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtDesktop::setTimerEnabled(bool enabled) {
    if (!enabled) {
        window_.timer1->stop();
    } else if (!window_.timer1->isActive()) {
        window_.timer1->start();
    }
}

void QtDesktop::setTimerInterval(int milliseconds) {
    window_.timer1->setInterval(milliseconds);
}

void QtDesktop::processPendingEvents(LetRunPoint) {
    QCoreApplication::processEvents();
}

// The window manager keeps a box above the window it belongs to; at start-up, before the
// window shows, a box belongs to none, so that it is not hidden with it.
QWidget* QtDesktop::boxOwner() {
    return window_.isVisible() ? &window_ : nullptr;
}

ModalResult QtDesktop::showMessageDialog(const DialogModel& model) {
    QtMessageDialog dialog(model, boxOwner());
    return dialog.run();
}

void QtDesktop::showErrorBox(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, toQString(caption), toQString(text), QMessageBox::Ok,
                    boxOwner());
    // A message may quote a settings value such as "<b>x</b>": shown as typed, not as markup.
    box.setTextFormat(Qt::PlainText);
    copyOnCtrlC(box, toStdString(box.text()), {"OK"});
    box.exec();
}

std::optional<std::string> QtDesktop::runOpenDialog(const OpenDialogModel& model) {
    QFileDialog dialog(boxOwner(), toQString(model.title), toQString(model.initialFolder));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Typed names need not exist: the program reports a missing file itself.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    const QString patterns = toQString(model.filterPatterns).replace(';', ' ');
    dialog.setNameFilter(toQString(model.filterLabel) + " (" + patterns + ")");
    // The label already names the patterns; Qt would append them once more.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.selectFile(toQString(model.fileName));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return toStdString(dialog.selectedFiles().first());
}

bool QtDesktop::addAutostart(const std::string& name, const std::string& executable) {
    return writeAutostartEntry(autostartFolder(), name, executable);
}

void QtDesktop::removeAutostart(const std::string& name) {
    removeAutostartEntry(autostartFolder(), name);
}

} // namespace kivo::qt
