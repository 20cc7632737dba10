// The unit table behind units.h: one row per field of the run, in the order
// of FieldTable().
#pragma once

#include <array>
#include <string_view>

#include "calc/run_record.h"

enum class Quantity {
  Text,              // a free text: no unit
  Ratio,             // dimensionless: the same number in every system
  Linear,            // SI value = US value * factor
  AbsolutePressure,  // linear, and never below zero
  Temperature,       // degrees F and degrees C
};

struct FieldUnit {
  FieldRef ref;
  Quantity quantity;
  std::string_view us;
  std::string_view si;
  double factor;  // SI per US unit, for the linear quantities
};

const std::array<FieldUnit, kFieldCount>& FieldUnits();

// Degrees Fahrenheit of 0 degrees C, and degrees F per degree C.
inline constexpr double kFahrenheitOfZeroCelsius = 32;
inline constexpr double kFahrenheitPerCelsius = 1.8;
