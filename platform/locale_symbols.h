// The user's number symbols and date format, as the core expects them, from
// the locale Qt reads from the environment (LANG, LC_NUMERIC, LC_TIME).
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

// A moment in the locale's general date format: the short date, a space and
// the long time without its time zone ("12/6/2026 8:26:06 AM"). A two-digit
// year is widened to four digits, so that a printed date is never ambiguous.
std::string GeneralDateText(const QLocale& locale, const QDateTime& moment);

// The report's time stamp: the system clock now, in the system locale.
std::string SystemTimeStamp();
