#include "main_window.h"

#include "core/window/form_kivo.h"
#include "qt_cursor.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

// The pictures are compiled into this static library; nothing else would pull them in.
static void initResources() {
    Q_INIT_RESOURCE(kivo);
}

namespace kivo::qt {

namespace {

QFont fontOf(const ControlFont& spec) {
    QFont font(QString::fromUtf8(spec.face));
    font.setPixelSize(spec.pixelHeight);
    return font;
}

void setTextColour(QWidget* widget, Colour colour) {
    const QColor qcolour(colour.red, colour.green, colour.blue);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, qcolour);
    palette.setColor(QPalette::ButtonText, qcolour);
    widget->setPalette(palette);
}

QString designPicture(Control control) {
    return control == Control::Image1 ? QStringLiteral(":/kivo/image1.bmp")
                                      : QStringLiteral(":/kivo/start.bmp");
}

} // namespace

MainWindow::MainWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    initResources();
    resize(kDesignWindow.width, kDesignWindow.height);
    move(0, 0);
    QPalette background = palette();
    background.setColor(QPalette::Window, background.color(QPalette::Button));
    setPalette(background);
    setAutoFillBackground(true);
    setWindowIcon(QIcon(QStringLiteral(":/kivo/kivo.png")));

    for (const ControlSpec& spec : kControls) {
        QWidget* widget = makeControl(spec, spec.parent ? control(*spec.parent) : this);
        if (spec.kind != ControlKind::Picture) {
            widget->setGeometry(spec.bounds.left, spec.bounds.top, spec.bounds.width,
                                spec.bounds.height);
        }
        if (spec.font.face != nullptr) {
            widget->setFont(fontOf(spec.font));
            setTextColour(widget, spec.textColour);
        }
        if (spec.cursor) {
            widget->setCursor(qtCursor(*spec.cursor));
        }
        if (spec.tooltip != nullptr) {
            widget->setToolTip(QString::fromUtf8(spec.tooltip));
        }
        controls_[static_cast<std::size_t>(spec.control)] = widget;
    }

    timer1 = new QTimer(this);
    timer1->setTimerType(Qt::PreciseTimer);
    timer1->setInterval(kTimerInterval);
}

QWidget* MainWindow::makeControl(const ControlSpec& spec, QWidget* parent) {
    const QString caption = QString::fromUtf8(spec.caption);
    switch (spec.kind) {
    case ControlKind::Picture: {
        auto* picture = new PictureLabel(spec.control, parent);
        picture->move(spec.bounds.left, spec.bounds.top);
        picture->setPicture(QPixmap(designPicture(spec.control)));
        return picture;
    }
    case ControlKind::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(2);
        panel->setAutoFillBackground(true);
        return panel;
    }
    case ControlKind::Label:
        return new QLabel(caption, parent);
    case ControlKind::Button:
        break;
    }
    auto* button = new QPushButton(caption, parent);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    return button;
}

PictureLabel* MainWindow::picture(Control control) const {
    return static_cast<PictureLabel*>(this->control(control));
}

void MainWindow::bind(ControlInput& input) {
    for (const ControlSpec& spec : kControls) {
        if (spec.kind == ControlKind::Picture) {
            picture(spec.control)->bind(input);
        } else if (spec.kind == ControlKind::Button) {
            QObject::connect(static_cast<QPushButton*>(control(spec.control)),
                             &QPushButton::clicked,
                             [&input, which = spec.control] { input.click(which); });
        }
    }
    QObject::connect(timer1, &QTimer::timeout, [&input] { input.timer(); });
}

} // namespace kivo::qt
