// The user's number symbols, as the core expects them.
#pragma once

#include <QLocale>

#include "numtext/numtext.h"

// Decimal and grouping symbols of a locale. A locale without a usable grouping
// symbol (none, or the same as the decimal one) gets the other of "." and ",",
// so that a text can never be read two ways.
NumberSymbols SymbolsOf(const QLocale& locale);
