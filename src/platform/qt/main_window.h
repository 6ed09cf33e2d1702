#pragma once

#include "picture_label.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace kivo::qt {

// FormKivo's widgets, laid out as designed; behaviour is wired by QtDesktop.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow();

    PictureLabel* image1;
    PictureLabel* image2;
    QFrame* panel1;
    QLabel* label1;
    QPushButton* speedButton1;
    QPushButton* speedButton3;
    QPushButton* speedButton2;
    QTimer* timer1;

  private:
    QPushButton* makeSpeedButton(const char* name, const char* text, QRect geometry);
};

} // namespace kivo::qt
