#include "engineering/typed_value.h"

#include "numtext/numtext.h"

double WindowTypedValue(double value) {
  return TextToNumber(FormatByPattern(value, kInputPattern)).value_or(value);
}

bool WindowWouldRound(double value) {
  return WindowTypedValue(value) != value;
}

std::string WindowRoundingNote(FieldRef ref, double value, const NumberSymbols& symbols) {
  if (!WindowWouldRound(value)) return {};
  return std::string(Caption(ref)) + ": the window would round " + ShortestText(value, symbols) +
         " to " + FormatByPattern(value, kInputPattern, symbols) + "; kept as given";
}
