// US customary and SI units of the run's fields. The run, the calculation and
// the run file stay in US units; a front end converts what a user gives in SI
// into them and what the calculation gives back out of them, field by field
// (roughness is in ft like the length, but its SI unit is mm, the length's m).
//
// SI units: kg/kmol, mm for diameter and roughness, m for lengths, kPa(a)
// (kilopascal, absolute) for the three pressures P1, P2 and P0, kPa for the
// two pressure losses, degrees C, kg/h, kg/m3, m3/kg, m/s.
#pragma once

#include <string>
#include <string_view>

#include "calc/run_record.h"

enum class UnitSystem { Us, Si };

// "us" or "si", in any letter case; InputError otherwise.
UnitSystem ParseUnitSystem(std::string_view name);

// The field's unit: "psia", "kPa(a)", "-" for a dimensionless number, "" for
// the two free texts.
std::string_view UnitText(FieldRef ref, UnitSystem units);

// The field's window caption with its US unit replaced by the unit of
// `units`: "Initia, psia" becomes "Initia, kPa(a)". Captions without a unit
// stay as they are.
std::string UnitCaption(FieldRef ref, UnitSystem units);

// A value of the field in US units, expressed in `units`.
double ToUnits(FieldRef ref, double usValue, UnitSystem units);

// A value of the field given in `units`, in US units, at full precision.
// Refuses with InputError a value that is not finite or becomes so, a
// temperature at or below absolute zero and an absolute pressure below zero.
double FromUnits(FieldRef ref, double value, UnitSystem units);

// The text a run holds for a number the user typed as `typed` (read as
// `value`) in `units`: in US units the text as typed, kept exactly (a run file
// holds it and a load never rounds it); in SI the US value at full precision,
// its shortest text in the symbols. Every front end sets a typed number so.
std::string RunTextOf(FieldRef ref, const std::string& typed, double value, UnitSystem units,
                      const NumberSymbols& symbols);
