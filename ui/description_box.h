// The run description: a multi-line box whose lines wrap at the box's width.
//
// A line wrapped at word boundaries is laid out word by word, and a word that
// does not fit is measured to its end before it is broken anywhere. For one
// very long unbroken word that measuring repeats for every line of the
// paragraph and the layout time grows with the square of its length (a
// megabyte took over a minute). A text holding such a word is therefore
// wrapped anywhere: the word itself breaks exactly as before, and the layout
// time stays in proportion to the text. Ordinary texts keep word wrapping.
#pragma once

#include <QString>

class QPlainTextEdit;
class QWidget;

// Words longer than this are far wider than any line of the box, so they
// break anywhere in either wrap mode.
inline constexpr int kLongestWrappedWord = 1000;

// Whether the text holds a run of more than kLongestWrappedWord characters
// without a blank.
bool HasOverlongWord(const QString& text);

// The box, with Tab leaving it and Enter making a new line. The wrap mode
// follows the text before each change is laid out.
QPlainTextEdit* MakeDescriptionBox(QWidget* parent);
