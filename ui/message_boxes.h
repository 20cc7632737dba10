// Modal messages of the program, behind an interface so that tests can answer
// them. Every message has an OK button only and no icon.
#pragma once

#include <QString>

class QWidget;

inline const QString kAppTitle = QStringLiteral("Korvo Flow");

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the text and returns when the user has closed the box.
  virtual void Information(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The real boxes: QMessageBox, kept above the always-on-top busy and About
// windows so that a message is never hidden behind them.
class QtMessageBoxes : public MessageBoxes {
 public:
  void Information(QWidget* parent, const QString& title, const QString& text) override;
};
