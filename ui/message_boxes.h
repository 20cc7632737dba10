// Modal messages of the program, behind an interface so that tests can answer
// them. A plain message has an OK button only and no icon.
#pragma once

#include <QString>

class QWidget;

inline const QString kAppTitle = QStringLiteral("Korvo Flow");

class MessageBoxes {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~MessageBoxes() = default;
  // Shows the text and returns when the user has closed the box.
  virtual void Information(QWidget* parent, const QString& title, const QString& text) = 0;
  // A failure: exclamation icon and an OK button.
  virtual void Exclamation(QWidget* parent, const QString& title, const QString& text) = 0;
  // Question icon, Yes, No and Cancel with Yes the default; Esc and the close
  // button answer Cancel.
  virtual Answer AskYesNoCancel(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The real boxes: QMessageBox, kept above the always-on-top busy and About
// windows so that a message is never hidden behind them.
class QtMessageBoxes : public MessageBoxes {
 public:
  void Information(QWidget* parent, const QString& title, const QString& text) override;
  void Exclamation(QWidget* parent, const QString& title, const QString& text) override;
  Answer AskYesNoCancel(QWidget* parent, const QString& title, const QString& text) override;
};
