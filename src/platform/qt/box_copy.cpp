#include "box_copy.h"

#include "core/window/message_dialog.h"
#include "qt_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace kivo::qt {

void copyOnCtrlC(QWidget& box, const std::string& message,
                 const std::vector<std::string>& captions) {
    auto* copy = new QShortcut(QKeySequence::Copy, &box);
    QObject::connect(copy, &QShortcut::activated, &box, [&box, message, captions] {
        QGuiApplication::clipboard()->setText(
            toQString(boxCopyText(toStdString(box.windowTitle()), message, captions)));
    });
}

} // namespace kivo::qt
