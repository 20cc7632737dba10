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

void DescriptionBox::SetRunText(const QString& text) {
  setPlainText(text);
  set_ = text;
  shown_ = Shown();
}

QString DescriptionBox::RunText() const {
  QString shown = Shown();
  return shown == shown_ ? set_ : shown;
}

// The document's plain text as toPlainText() gives it, with the separators
// between lines (and the frame marks) as line breaks, but each no-break space
// kept.
QString DescriptionBox::Shown() const {
  QString text = document()->toRawText();
  for (QChar& c : text) {
    const char16_t code = c.unicode();
    if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator || code == 0xfdd0 ||
        code == 0xfdd1) {
      c = '\n';
    }
  }
  return text;
}

DescriptionBox* MakeDescriptionBox(QWidget* parent) {
  auto* box = new DescriptionBox(parent);
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
