#include "main_window.h"

#include "core/window/form_kivo.h"

#include <QPalette>

// The pictures are compiled into this static library; nothing else would pull them in.
static void initResources() {
    Q_INIT_RESOURCE(kivo);
}

namespace kivo::qt {

namespace {

QFont timesNewRoman(int pixelHeight) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(pixelHeight);
    return font;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

} // namespace

MainWindow::MainWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    initResources();
    setObjectName(QStringLiteral("FormKivo"));
    resize(kDesignWindow.width, kDesignWindow.height);
    move(0, 0);
    QPalette background = palette();
    background.setColor(QPalette::Window, background.color(QPalette::Button));
    setPalette(background);
    setAutoFillBackground(true);
    setWindowIcon(QIcon(QStringLiteral(":/kivo/kivo.png")));

    // Created bottom to top: the start button and the panel lie over the picture.
    image1 = new PictureLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->move(0, 0);
    image1->setPicture(QPixmap(QStringLiteral(":/kivo/image1.bmp")));
    image1->setCursor(Qt::PointingHandCursor);
    image1->setToolTip(QStringLiteral(
        " Двойной щелчок - закрыть, правая - поставить/снять поверх всех, левая - переместить   "));

    image2 = new PictureLabel(this);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->move(0, 0);
    image2->setPicture(QPixmap(QStringLiteral(":/kivo/start.bmp")));
    image2->setCursor(Qt::PointingHandCursor);
    image2->setToolTip(QStringLiteral(" СТАРТ "));

    panel1 = new QFrame(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setGeometry(kDesignPanelPosition.x, kDesignPanelPosition.y, kPanelSize.width,
                        kPanelSize.height);
    panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel1->setLineWidth(2);
    panel1->setAutoFillBackground(true);

    label1 = new QLabel(QStringLiteral("Настрой:"), panel1);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(10, 1, 60, 19);
    label1->setFont(timesNewRoman(16));
    setTextColour(label1, QColor(0, 0, 128));

    speedButton1 = makeSpeedButton("SpeedButton1", "Картинка", QRect(4, 20, 70, 20));
    speedButton3 = makeSpeedButton("SpeedButton3", "Форма", QRect(4, 40, 70, 20));
    speedButton2 = makeSpeedButton("SpeedButton2", "Проверить", QRect(4, 60, 70, 22));

    timer1 = new QTimer(this);
    timer1->setTimerType(Qt::PreciseTimer);
    timer1->setInterval(kTimerInterval);
}

QPushButton* MainWindow::makeSpeedButton(const char* name, const char* text, QRect geometry) {
    auto* button = new QPushButton(QString::fromUtf8(text), panel1);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setFont(timesNewRoman(13));
    setTextColour(button, QColor(0, 0, 255));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace kivo::qt
