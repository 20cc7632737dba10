#include "platform/locale_symbols.h"

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
  symbols.grouping = !grouping.isEmpty() && grouping != decimal ? grouping.toStdString()
                                                                : FallbackGrouping(symbols.decimal);
  return symbols;
}

std::string GeneralDateText(const QLocale& locale, const QDateTime& moment) {
  const QString date =
      locale.toString(moment.date(), WithFullYear(locale.dateFormat(QLocale::ShortFormat)));
  const QString time =
      locale.toString(moment.time(), WithoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
  return (date + ' ' + time).toStdString();
}

std::string SystemTimeStamp() {
  return GeneralDateText(QLocale::system(), QDateTime::currentDateTime());
}
