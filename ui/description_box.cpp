#include "ui/description_box.h"

#include <QPlainTextEdit>
#include <QTextDocument>

bool HasOverlongWord(const QString& text) {
  int run = 0;
  for (const QChar c : text) {
    run = c.isSpace() ? 0 : run + 1;
    if (run > kLongestWrappedWord) return true;
  }
  return false;
}

QPlainTextEdit* MakeDescriptionBox(QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setTabChangesFocus(true);  // Enter makes a new line, Tab leaves the box
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // The document announces a change before its layout takes it up.
  QObject::connect(box->document(), &QTextDocument::contentsChange, box, [box] {
    const auto mode = HasOverlongWord(box->document()->toPlainText())
                          ? QTextOption::WrapAnywhere
                          : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (box->wordWrapMode() != mode) box->setWordWrapMode(mode);
  });
  return box;
}
