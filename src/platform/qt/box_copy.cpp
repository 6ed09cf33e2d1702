#include "box_copy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace kivo::qt {

void copyOnCtrlC(QWidget& box, const QString& message, const QStringList& buttons) {
    auto* copy = new QShortcut(QKeySequence::Copy, &box);
    QObject::connect(copy, &QShortcut::activated, &box, [&box, message, buttons] {
        const QString separator = "---------------------------\n";
        QString captions;
        for (QString caption : buttons) {
            captions += caption.remove('&') + "   ";
        }
        QGuiApplication::clipboard()->setText(separator + box.windowTitle() + "\n" + separator +
                                              message + "\n" + separator + captions + "\n" +
                                              separator);
    });
}

} // namespace kivo::qt
