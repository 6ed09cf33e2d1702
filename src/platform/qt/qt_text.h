#pragma once

#include <QString>
#include <string>

namespace kivo::qt {

// The core's texts and paths are UTF-8 bytes on Linux.
inline QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace kivo::qt
