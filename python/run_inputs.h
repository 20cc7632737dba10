// Inputs given to the Python module, as numbers or as texts, in US or SI
// units, turned into the texts of a run; and the numbers of a calculated run
// read back in the same units. Nothing here knows Python (module.cpp is the
// glue), so every rule is plain C++ on the core and the engineering helpers.
//
// A number goes into the run at full precision (ShortestText of its US
// value), not rounded to the six decimals that the window keeps of a typed
// entry: a script means the number it computed. A text is read as the
// window reads a typed entry and kept as given where it is in US units.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/quiet_host.h"
#include "engineering/solve.h"
#include "engineering/units.h"

// What a caller gave for one input: a number, or a text as typed into its box.
using GivenInput = std::variant<double, std::string>;

// `"Initia, psia" (p1)`: how every message names a field.
std::string NamedField(FieldRef field);

// The input field of a key; InputError for an unknown key or a result.
FieldRef InputField(std::string_view key);

// The US value of a number given for a numeric input in `units`; InputError,
// naming the field, for a number that is not finite or has no US value.
double InputNumber(FieldRef field, double value, UnitSystem units);

// The text the run holds for an input given in `units`. A free text is kept
// as it is. A numeric text must pass the window's numeric test; in US units
// it is kept as given, in SI its value is converted. A number must be finite.
// InputError names the field for a refused text, a number that is not finite
// and a value without a US equivalent (FromUnits).
std::string InputText(FieldRef field, const GivenInput& given, UnitSystem units);

struct NamedInput {
  FieldRef field;
  GivenInput given;
};

// How a run's inputs are changed: the inputs, and a gas by name or mixture.
struct GivenInputs {
  std::vector<NamedInput> inputs;
  std::optional<std::string> gas;
  UnitSystem units = UnitSystem::Us;
};

// Sets the gas, then each input in turn. The gas is a gas of the table or a
// mixture ("methane:0.9,ethane:0.1"), which sets the Gas Type, MW and k,
// unless MW or k is given among the inputs or in `alsoGiven` (a sweep's
// varied inputs): then the caller describes the gas and its name is free text.
// An unknown name with neither given is refused, so that a misspelt gas never
// leaves MW and k of another one in the run. InputError on any refusal.
void ApplyInputs(RunRecord& run, const GivenInputs& given,
                 const std::vector<FieldRef>& alsoGiven = {});

// The field's number (FieldValue) in `units`; none where it has none.
std::optional<double> ValueIn(const RunRecord& run, FieldRef field, const ResultValues& values,
                              UnitSystem units);

// The symbols of every text the module writes and reads: "." for decimals,
// "," for grouping, whatever the process's locale, so that a script gives the
// same run on every machine.
inline const NumberSymbols kModuleSymbols{};
