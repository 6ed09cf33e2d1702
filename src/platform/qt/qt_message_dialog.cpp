#include "qt_message_dialog.h"

#include "box_copy.h"
#include "qt_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <cstddef>

namespace kivo::qt {

namespace {

QStyle::StandardPixmap standardIconOf(DialogIcon icon) {
    // In the order of DialogIcon; a dialog without an icon shows none.
    constexpr QStyle::StandardPixmap kIcons[] = {
        QStyle::SP_MessageBoxQuestion, QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxCritical,
        QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxQuestion};
    return kIcons[static_cast<std::size_t>(icon)];
}

constexpr int kIconSize = 32;
constexpr int kMargin = 12;

// Longer runs without a blank (paths) may break after any character, as the Windows dialog
// breaks them; a label breaks only between words.
constexpr qsizetype kLongestWord = 30;

QString breakableAnywhere(const QString& text) {
    QString out;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = start;
        while (end < text.size() && !text[end].isSpace()) {
            ++end;
        }
        for (qsizetype i = start; i < end; ++i) {
            out += text[i];
            if (end - start > kLongestWord && i + 1 < end && !text[i].isHighSurrogate()) {
                out += QChar(0x200B); // zero-width space: a place to break
            }
        }
        if (end < text.size()) {
            out += text[end];
        }
        start = end + 1;
    }
    return out;
}

} // namespace

QtMessageDialog::QtMessageDialog(const DialogModel& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      model_(model), result_(model.closeResult) {
    setWindowTitle(toQString(model.title));
    setWindowModality(Qt::ApplicationModal);
    setFont(QApplication::font("QMessageBoxLabel"));

    auto* body = new QHBoxLayout;
    body->setSpacing(kMargin);
    if (model.icon != DialogIcon::None) {
        auto* icon = new QLabel;
        icon->setObjectName(QStringLiteral("icon"));
        icon->setPixmap(style()->standardIcon(standardIconOf(model.icon)).pixmap(kIconSize));
        icon->setFixedSize(kIconSize, kIconSize);
        body->addWidget(icon, 0, Qt::AlignTop);
    }
    auto* text = new QLabel(breakableAnywhere(toQString(model.text)));
    text->setObjectName(QStringLiteral("text"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    const int wrapWidth = QGuiApplication::primaryScreen()->geometry().width() / 2;
    const int natural =
        text->fontMetrics()
            .boundingRect(QRect(0, 0, wrapWidth, 100000), Qt::TextWordWrap, text->text())
            .width();
    text->setFixedWidth(std::min(natural + 2, wrapWidth));
    body->addWidget(text, 1);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    int buttonWidth = 75;
    std::vector<std::string> captions;
    for (const DialogButtonModel& spec : model.buttons) {
        captions.push_back(spec.caption);
        auto* button = new QPushButton(toQString(spec.caption));
        button->setAutoDefault(true);
        buttonWidth = std::max(buttonWidth, button->sizeHint().width());
        const ModalResult result = spec.result;
        connect(button, &QPushButton::clicked, this, [this, result] { finish(result); });
        buttons_.push_back(button);
        row->addWidget(button);
    }
    for (QPushButton* button : buttons_) {
        button->setFixedWidth(buttonWidth);
    }
    row->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kMargin);
    layout->addLayout(body);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    copyOnCtrlC(*this, model.text, captions);
}

ModalResult QtMessageDialog::run() {
    exec();
    return result_;
}

void QtMessageDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.center() - rect().center());
    if (model_.focusIndex < buttons_.size()) {
        buttons_[model_.focusIndex]->setFocus(Qt::OtherFocusReason);
    }
}

void QtMessageDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        finish(model_.escapeResult);
        return;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed[0].unicode() < 128) {
        if (const auto result = resultForMnemonic(model_, static_cast<char>(typed[0].unicode()))) {
            finish(*result);
            return;
        }
    }
    // Alt+letter arrives without text on some platforms: take the key code.
    if ((event->modifiers() & Qt::AltModifier) && event->key() >= Qt::Key_A &&
        event->key() <= Qt::Key_Z) {
        const char letter = static_cast<char>('A' + (event->key() - Qt::Key_A));
        if (const auto result = resultForMnemonic(model_, letter)) {
            finish(*result);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void QtMessageDialog::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        result_ = model_.closeResult;
    }
    QDialog::closeEvent(event);
}

void QtMessageDialog::finish(ModalResult result) {
    finished_ = true;
    result_ = result;
    accept();
}

} // namespace kivo::qt
