#include "ui/locale_symbols.h"

#include <QRegularExpression>

namespace {

const QString kNarrowNoBreakSpace(QChar(0x202F));
const QString kNoBreakSpace(QChar(0x00A0));

// Removes the time-zone field ('t' runs outside quoted literals) and the
// blanks that separated it from the rest of the format.
QString WithoutTimeZone(const QString& format) {
  QString kept;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && c == 't') continue;
    kept += c;
  }
  return kept.trimmed();
}

// "yy" standing alone (not part of "yyyy") becomes "yyyy".
QString WithFullYear(QString format) {
  static const QRegularExpression twoDigitYear("(?<!y)yy(?!y)");
  return format.replace(twoDigitYear, "yyyy");
}

}  // namespace

NumberSymbols SymbolsOf(const QLocale& locale) {
  NumberSymbols symbols;
  const QString decimal = locale.decimalPoint();
  QString grouping = locale.groupSeparator();
  if (grouping == kNarrowNoBreakSpace) grouping = kNoBreakSpace;
  if (!decimal.isEmpty()) symbols.decimal = decimal.toStdString();
  if (!grouping.isEmpty() && grouping != decimal) {
    symbols.grouping = grouping.toStdString();
  } else {
    symbols.grouping = symbols.decimal == "," ? "." : ",";
  }
  return symbols;
}

QString WithTypedGrouping(const QString& typed, const NumberSymbols& symbols) {
  if (QString::fromStdString(symbols.grouping) != kNoBreakSpace) return typed;
  QString text = typed;
  for (qsizetype start = 0; start < text.size(); ++start) {
    if (text[start] != ' ') continue;
    qsizetype end = start;
    while (end < text.size() && text[end] == ' ') ++end;
    if (start > 0 && text[start - 1].isDigit() && end < text.size() && text[end].isDigit()) {
      text.replace(start, end - start, QString(end - start, kNoBreakSpace[0]));
    }
    start = end;
  }
  return text;
}

std::string GeneralDateText(const QLocale& locale, const QDateTime& moment) {
  const QString date =
      locale.toString(moment.date(), WithFullYear(locale.dateFormat(QLocale::ShortFormat)));
  const QString time =
      locale.toString(moment.time(), WithoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
  return (date + ' ' + time).toStdString();
}
