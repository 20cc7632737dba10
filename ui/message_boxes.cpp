#include "ui/message_boxes.h"

#include <QMessageBox>

namespace {

QMessageBox::StandardButton Show(QMessageBox::Icon icon, QWidget* parent, const QString& title,
                                 const QString& text, QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, title, text, buttons, parent);
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void QtMessageBoxes::Information(QWidget* parent, const QString& title, const QString& text) {
  Show(QMessageBox::NoIcon, parent, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageBoxes::Exclamation(QWidget* parent, const QString& title, const QString& text) {
  Show(QMessageBox::Warning, parent, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

// With a Cancel button among its buttons, QMessageBox maps Esc and the close
// button to Cancel.
MessageBoxes::Answer QtMessageBoxes::AskYesNoCancel(QWidget* parent, const QString& title,
                                                    const QString& text) {
  const auto pressed =
      Show(QMessageBox::Question, parent, title, text,
           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (pressed == QMessageBox::Yes) return Answer::Yes;
  if (pressed == QMessageBox::No) return Answer::No;
  return Answer::Cancel;
}
