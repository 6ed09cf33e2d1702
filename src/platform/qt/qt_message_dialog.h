#pragma once

#include "core/window/message_dialog.h"

#include <QDialog>
#include <vector>

class QPushButton;

namespace kivo::qt {

// The program's message dialog, drawn from the core's model: icon left of the text,
// equal-width buttons centred below, leftmost focused, Esc and mnemonics as the model says.
class QtMessageDialog : public QDialog {
    Q_OBJECT
  public:
    explicit QtMessageDialog(const DialogModel& model, QWidget* parent = nullptr);

    // Shows the dialog modally, centred on the screen.
    ModalResult run();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void finish(ModalResult result);

    DialogModel model_;
    std::vector<QPushButton*> buttons_;
    ModalResult result_;
    bool finished_ = false;
};

} // namespace kivo::qt
