// The user's number symbols and date format, as the core expects them.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <string>

#include "numtext/numtext.h"

// Decimal and grouping symbols of a locale. A locale without a usable grouping
// symbol (none, or the same as the decimal one) gets the other of "." and ",",
// so that a text can never be read two ways. The narrow no-break space that
// some locales group with becomes the no-break space, which a run file's code
// page can hold.
NumberSymbols SymbolsOf(const QLocale& locale);

// A typed number with the blanks between its digits taken as grouping
// symbols, where the locale groups with a no-break space: the two look
// alike and only the blank is on the keyboard ("1 234,5"). Other texts, and
// blanks before or after the number, are returned as they are.
QString WithTypedGrouping(const QString& typed, const NumberSymbols& symbols);

// A moment in the locale's general date format: the short date, a space and
// the long time without its time zone ("12/6/2026 8:26:06 AM"). A two-digit
// year is widened to four digits, so that a printed date is never ambiguous.
std::string GeneralDateText(const QLocale& locale, const QDateTime& moment);
