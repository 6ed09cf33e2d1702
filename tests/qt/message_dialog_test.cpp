#include "qt_desktop.h"
#include "qt_message_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace kivo::qt {
namespace {

DialogModel confirm(std::vector<ModalResult> buttons) {
    return makeDialogModel("Сохранить изменения?\n\rNO - НЕТ\n\rOK - ДА", DialogKind::Confirmation,
                           buttons, "kivo");
}

// Opens the dialog and, once it is up and focused, acts on it as a user would.
ModalResult runWith(const DialogModel& model, const std::function<void(QtMessageDialog&)>& act) {
    QtMessageDialog dialog(model);
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::qWait(50);
        act(dialog);
    });
    return dialog.run();
}

// Types a key at the focused widget, as the keyboard would.
void press(QtMessageDialog& dialog, QKeyCombination key) {
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused != nullptr ? focused : &dialog, key.key(), key.keyboardModifiers());
}

// Keys typed at once, and the answer: the leftmost button has the focus, Esc presses the set's
// cancel button, a mnemonic letter its button with or without Alt in either case; OK has no
// mnemonic, so O presses nothing. Closing by the close box (no keys) answers Cancel.
TEST(QtMessageDialog, KeysAnswerAsTheModelSays) {
    using enum ModalResult;
    const struct {
        std::vector<ModalResult> buttons;
        std::vector<QKeyCombination> keys;
        ModalResult answer;
    } rows[] = {
        {{OK, No}, {Qt::Key_Return}, No},
        {{Abort, OK}, {Qt::Key_Enter}, OK},
        {{No, OK}, {Qt::Key_Tab, Qt::Key_Return}, OK},
        {{No, OK}, {Qt::Key_Right, Qt::Key_Return}, OK},
        {{No, OK}, {Qt::Key_Escape}, No},
        {{OK, Abort}, {Qt::Key_Escape}, OK},
        {{Yes, No, All}, {Qt::Key_Escape}, No},
        {{Yes, No, All}, {Qt::Key_N}, No},
        {{Yes, No, All}, {Qt::ShiftModifier | Qt::Key_A}, All},
        {{Yes, No, All}, {Qt::AltModifier | Qt::Key_A}, All},
        {{Yes, No, All}, {Qt::Key_Y}, Yes},
        {{OK, Abort}, {Qt::Key_O, Qt::Key_A}, Abort},
        {{No, OK}, {}, Cancel},
    };
    for (const auto& row : rows) {
        const ModalResult answer = runWith(confirm(row.buttons), [&](QtMessageDialog& d) {
            for (const QKeyCombination key : row.keys) {
                press(d, key);
            }
            if (row.keys.empty()) {
                d.close();
            }
        });
        EXPECT_EQ(answer, row.answer) << "row " << (&row - rows);
    }
}

TEST(QtMessageDialog, LaysOutIconTextAndEqualButtonsInTheFixedOrderAndWrapsLongText) {
    runWith(confirm({ModalResult::OK, ModalResult::No}), [](QtMessageDialog& d) {
        EXPECT_EQ(d.windowTitle(), QString("Confirm"));
        const auto buttons = d.findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 2);
        const QPushButton* left = buttons[0]->x() < buttons[1]->x() ? buttons[0] : buttons[1];
        const QPushButton* right = left == buttons[0] ? buttons[1] : buttons[0];
        EXPECT_EQ(left->text(), QString("&No"));
        EXPECT_EQ(right->text(), QString("OK"));
        EXPECT_EQ(left->width(), right->width());
        EXPECT_TRUE(left->hasFocus());
        // Centred below the text.
        const int slackLeft = left->x();
        const int slackRight = d.width() - (right->x() + right->width());
        EXPECT_NEAR(slackLeft, slackRight, 2);
        const auto* icon = d.findChild<QLabel*>("icon");
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->size(), QSize(32, 32));
        const auto* text = d.findChild<QLabel*>("text");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(), QString("Сохранить изменения?\nNO - НЕТ\nOK - ДА"));
        EXPECT_LT(icon->x(), text->x());
        EXPECT_EQ(d.minimumSize(), d.maximumSize());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_NEAR(d.frameGeometry().center().x(), screen.center().x(), 2);
        d.close();
    });

    // A long text wraps at half the screen; a long path without blanks breaks inside, as it
    // does on Windows, rather than being clipped.
    std::string words = "/" + std::string(300, 'p') + "\n";
    for (int i = 0; i < 300; ++i) {
        words += "слово ";
    }
    runWith(makeDialogModel(words, DialogKind::Plain, {ModalResult::OK}, "kivo"),
            [](QtMessageDialog& d) {
                EXPECT_EQ(d.windowTitle(), QString("kivo"));
                EXPECT_EQ(d.findChild<QLabel*>("icon"), nullptr);
                const auto* text = d.findChild<QLabel*>("text");
                ASSERT_NE(text, nullptr);
                EXPECT_LE(text->width(), QGuiApplication::primaryScreen()->geometry().width() / 2);
                EXPECT_GT(text->height(), 3 * text->fontMetrics().height());
                const QRect laidOut = text->fontMetrics().boundingRect(
                    QRect(0, 0, text->width(), 100000), Qt::TextWordWrap, text->text());
                EXPECT_LE(laidOut.width(), text->width()) << "a line runs past the label";
                d.close();
            });
}

// The system's own boxes of the Linux face, looked at once they are up.
template <typename Box> void whenUp(const std::function<void(Box&)>& look) {
    QTimer::singleShot(0, [look] {
        Box* box = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return (box = qobject_cast<Box*>(QApplication::activeModalWidget()));
        })) << "the box did not come up";
        look(*box);
        box->reject();
    });
}

// The error box shows its text as typed, not as markup; the file dialog's filter reads as its
// label.
TEST(QtDesktop, TheErrorBoxAndTheFileDialogShowTheirTextsAsTyped) {
    QtDesktop desktop;
    whenUp<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.text(), QString("'<b>x</b>' is not a valid integer value."));
    });
    desktop.showErrorBox("kivo", "'<b>x</b>' is not a valid integer value.");
    whenUp<QFileDialog>([](QFileDialog& dialog) {
        const auto* filter = dialog.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(filter, nullptr);
        EXPECT_EQ(filter->currentText(), QString("Файлы картинок *.bmp;*.jpg;*.jpeg"));
    });
    desktop.runOpenDialog({"Выберите файл картинки", "/tmp/", "/tmp/*.bmp;*.jpg;*.jpeg",
                           "Файлы картинок *.bmp;*.jpg;*.jpeg", "*.bmp;*.jpg;*.jpeg"});
}

TEST(QtDesktop, ThePanelKeepsItsCursorWhenTheWindowTakesAnother) {
    QtDesktop desktop;
    desktop.setWindowCursor(CursorShape::Forbidden);
    EXPECT_EQ(desktop.window().control(Control::Panel1)->cursor().shape(), Qt::ArrowCursor)
        << "the panel took the window's cursor";
}

} // namespace
} // namespace kivo::qt

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
