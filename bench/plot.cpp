#include "plot.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdlib>

namespace kivo::bench {

void plotInsets(const std::vector<std::pair<double, int>>& insets, int maxInset,
                const std::string& title, const std::string& pngPath) {
    if (insets.empty()) {
        return;
    }
    // Text needs a GUI application; the bench draws off screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "kivo-bench";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    constexpr int kWidth = 900;
    constexpr int kHeight = 360;
    constexpr int kLeft = 60;
    constexpr int kRight = 20;
    constexpr int kTop = 40;
    constexpr int kBottom = 40;
    const double seconds = std::max(insets.back().first, 1e-3);
    const auto toX = [&](double t) { return kLeft + t / seconds * (kWidth - kLeft - kRight); };
    const auto toY = [&](int inset) {
        return kTop +
               static_cast<double>(inset) / std::max(maxInset, 1) * (kHeight - kTop - kBottom);
    };

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.drawText(kLeft, 24, QString::fromStdString(title));
    painter.drawLine(kLeft, kTop, kLeft, kHeight - kBottom);
    painter.drawLine(kLeft, kHeight - kBottom, kWidth - kRight, kHeight - kBottom);
    painter.drawText(4, kTop + 4, QString::number(0));
    painter.drawText(4, kHeight - kBottom + 4, QString::number(maxInset));
    painter.drawText(kWidth - kRight - 80, kHeight - 12, QString("%1 s").arg(seconds, 0, 'f', 1));
    painter.drawText(kLeft + 4, kHeight - 12, "inset (px, 0 = full picture) over time");

    QPainterPath path;
    path.moveTo(toX(insets.front().first), toY(insets.front().second));
    for (const auto& [t, inset] : insets) {
        path.lineTo(toX(t), toY(inset));
    }
    painter.setPen(QPen(QColor(190, 30, 110), 2));
    painter.drawPath(path);
    painter.end();
    image.save(QString::fromStdString(pngPath), "PNG");
}

} // namespace kivo::bench
