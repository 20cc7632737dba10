#include "engineering/units.h"

#include <cmath>

#include "calc/gas_state.h"
#include "engineering/input_error.h"
#include "engineering/text_parts.h"
#include "engineering/unit_data.h"
#include "numtext/numtext.h"

namespace {

const FieldUnit& UnitOf(FieldRef ref) {
  for (const FieldUnit& unit : FieldUnits()) {
    if (unit.ref == ref) return unit;
  }
  throw std::logic_error("a field without a unit row");
}

// (F - 32) / 1.8 and back: the subtraction first, so that 32 F is exactly 0 C.
double CelsiusOf(double fahrenheit) {
  return (fahrenheit - kFahrenheitOfZeroCelsius) / kFahrenheitPerCelsius;
}
double FahrenheitOf(double celsius) {
  return celsius * kFahrenheitPerCelsius + kFahrenheitOfZeroCelsius;
}

[[noreturn]] void Refuse(FieldRef ref, double value, UnitSystem units, const char* why) {
  throw InputError(UnitCaption(ref, units) + ": " + ShortestText(value) + why);
}

}  // namespace

UnitSystem ParseUnitSystem(std::string_view name) {
  const std::string key = NameKey(name);
  if (key == "us") return UnitSystem::Us;
  if (key == "si") return UnitSystem::Si;
  throw InputError("unknown units " + Quoted(name) + " (us or si)");
}

std::string_view UnitText(FieldRef ref, UnitSystem units) {
  const FieldUnit& unit = UnitOf(ref);
  return units == UnitSystem::Si ? unit.si : unit.us;
}

std::string UnitCaption(FieldRef ref, UnitSystem units) {
  const std::string caption(Caption(ref));
  const FieldUnit& unit = UnitOf(ref);
  if (units == UnitSystem::Us || unit.us == unit.si) return caption;
  const std::string suffix = ", " + std::string(unit.us);
  return caption.substr(0, caption.size() - suffix.size()) + ", " + std::string(unit.si);
}

double ToUnits(FieldRef ref, double usValue, UnitSystem units) {
  const FieldUnit& unit = UnitOf(ref);
  if (units == UnitSystem::Us) return usValue;
  if (unit.quantity == Quantity::Temperature) return CelsiusOf(usValue);
  return usValue * unit.factor;
}

double FromUnits(FieldRef ref, double value, UnitSystem units) {
  const FieldUnit& unit = UnitOf(ref);
  if (units == UnitSystem::Us) return value;
  const double us =
      unit.quantity == Quantity::Temperature ? FahrenheitOf(value) : value / unit.factor;
  if (!std::isfinite(us)) Refuse(ref, value, units, " is out of range");
  // Absolute zero checked on both sides of the conversion, so that neither
  // rounding lets -273.15 C through.
  if (unit.quantity == Quantity::Temperature &&
      (!(value > CelsiusOf(-kRankineOffset)) || !(AbsoluteTemperature(us) > 0))) {
    Refuse(ref, value, units, " is at or below absolute zero");
  }
  if (unit.quantity == Quantity::AbsolutePressure && us < 0) {
    Refuse(ref, value, units, " is below zero absolute pressure");
  }
  return us;
}

std::string RunTextOf(FieldRef ref, const std::string& typed, double value, UnitSystem units,
                      const NumberSymbols& symbols) {
  if (units == UnitSystem::Us) return typed;
  return ShortestText(FromUnits(ref, value, units), symbols);
}
