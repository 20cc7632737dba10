// What the window does to a number typed into an input box: it rewrites it by
// the input pattern (15 significant digits, then at most six decimals) and
// the calculation reads that text back. Front ends that keep a value exactly
// as given use this to tell the user where the window would have changed it.
#pragma once

#include <string>

#include "calc/run_record.h"

// The number the window keeps when `value` is typed.
double WindowTypedValue(double value);

// True when typing `value` into the window would change it.
bool WindowWouldRound(double value);

// "Pipe Roughness, ft: the window would round 0.0000015 to 0.000002; kept as
// given", or an empty text where the window keeps the value as it is; the
// numbers in the user's symbols.
std::string WindowRoundingNote(FieldRef ref, double value, const NumberSymbols& symbols = {});
