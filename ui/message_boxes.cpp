#include "ui/message_boxes.h"

#include <QMessageBox>

void QtMessageBoxes::Information(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box.exec();
}
