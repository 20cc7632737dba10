#include "ui/locale_symbols.h"

NumberSymbols SymbolsOf(const QLocale& locale) {
  NumberSymbols symbols;
  const QString decimal = locale.decimalPoint();
  const QString grouping = locale.groupSeparator();
  if (!decimal.isEmpty()) symbols.decimal = decimal.toStdString();
  if (!grouping.isEmpty() && grouping != decimal) {
    symbols.grouping = grouping.toStdString();
  } else {
    symbols.grouping = symbols.decimal == "," ? "." : ",";
  }
  return symbols;
}
