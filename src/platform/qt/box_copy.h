#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kivo::qt {

// As the system's boxes on Windows do: Ctrl+C in the box copies its title, message and
// buttons, so that a user can paste them into a report.
void copyOnCtrlC(QWidget& box, const QString& message, const QStringList& buttons);

} // namespace kivo::qt
