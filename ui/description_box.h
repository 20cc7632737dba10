// The run description: a multi-line box whose lines wrap at the box's width.
//
// A line wrapped at word boundaries is laid out word by word, and a word that
// does not fit is measured to its end before it is broken anywhere. For one
// very long unbroken word that measuring repeats for every line of the
// paragraph and the layout time grows with the square of its length (a
// megabyte took over a minute). A text holding such a word is therefore
// wrapped anywhere: the word itself breaks exactly as before, and the layout
// time stays in proportion to the text. Ordinary texts keep word wrapping.
//
// The box shows a text as a plain-text editor does, which is not always the
// text itself: a lone CR becomes a line break (CR LF in the file once saved)
// and its plain text turns a no-break space into a blank. A run's text that
// the user has not changed therefore goes back into the run as it came, and
// an edited one keeps its no-break spaces.
#pragma once

#include <QPlainTextEdit>
#include <QString>

class QWidget;

// Words longer than this are far wider than any line of the box, so they
// break anywhere in either wrap mode.
inline constexpr int kLongestWrappedWord = 1000;

// Whether the text holds a run of more than kLongestWrappedWord characters
// without a blank.
bool HasOverlongWord(const QString& text);

class DescriptionBox : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

  // Shows the run's text.
  void SetRunText(const QString& text);
  // The text for the run: the one last set while the box still shows it
  // unchanged, else what the box shows, each line break a "\n".
  QString RunText() const;

 private:
  QString Shown() const;

  QString set_;    // the run's text last set
  QString shown_;  // what the box made of it
};

// The box, with Tab leaving it and Enter making a new line. The wrap mode
// follows the text before each change is laid out.
DescriptionBox* MakeDescriptionBox(QWidget* parent);
