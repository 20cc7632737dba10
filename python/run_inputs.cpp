#include "python/run_inputs.h"

#include <algorithm>
#include <cmath>

#include "calc/field_names.h"
#include "engineering/gases.h"
#include "engineering/input_error.h"

namespace {

std::string NumberText(FieldRef field, double value, UnitSystem units) {
  return ShortestText(InputNumber(field, value, units), kModuleSymbols);
}

std::string TypedText(FieldRef field, const std::string& text, UnitSystem units) {
  const std::optional<double> value = TypedNumber(text, kModuleSymbols);
  if (!value) throw InputError(NamedField(field) + " refuses \"" + text + "\": not a number");
  return RunTextOf(field, text, *value, units, kModuleSymbols);
}

bool Describes(const GivenInputs& given, const std::vector<FieldRef>& alsoGiven, FieldRef field) {
  return std::any_of(given.inputs.begin(), given.inputs.end(),
                     [&](const NamedInput& input) { return input.field == field; }) ||
         std::find(alsoGiven.begin(), alsoGiven.end(), field) != alsoGiven.end();
}

void ApplyGas(RunRecord& run, const std::string& gas, bool described) {
  if (described) {
    Text(run, kGasType) = gas;
    return;
  }
  GasChoice choice;
  try {
    choice = ParseGas(gas);
  } catch (const InputError& error) {
    throw InputError(NamedField(kGasType) + ": " + error.what() +
                     "; with mw or k given, any name is a gas of your own");
  }
  ApplyGasChoice(run, choice, kModuleSymbols);
}

}  // namespace

std::string NamedField(FieldRef field) {
  return "\"" + DistinctName(field) + "\" (" + std::string(Key(field)) + ")";
}

FieldRef InputField(std::string_view key) {
  const FieldInfo* field = FieldByKey(key);
  if (!field) {
    throw InputError("unknown field \"" + std::string(key) + "\" (korvoflow.fields() lists them)");
  }
  if (field->isResult) throw InputError(NamedField(field->ref) + " is a result and cannot be set");
  return field->ref;
}

double InputNumber(FieldRef field, double value, UnitSystem units) {
  if (!std::isfinite(value)) {
    throw InputError(NamedField(field) + " refuses " + ShortestText(value) +
                     ": not a finite number");
  }
  return FromUnits(field, value, units);
}

std::string InputText(FieldRef field, const GivenInput& given, UnitSystem units) {
  if (const auto* text = std::get_if<std::string>(&given)) {
    return HoldsNumber(field) ? TypedText(field, *text, units) : *text;
  }
  return NumberText(field, std::get<double>(given), units);
}

void ApplyInputs(RunRecord& run, const GivenInputs& given, const std::vector<FieldRef>& alsoGiven) {
  if (given.gas) {
    const bool described =
        Describes(given, alsoGiven, kMolWeight) || Describes(given, alsoGiven, kRatioK);
    ApplyGas(run, *given.gas, described);
  }
  for (const NamedInput& input : given.inputs) {
    Text(run, input.field) = InputText(input.field, input.given, given.units);
  }
}

std::optional<double> ValueIn(const RunRecord& run, FieldRef field, const ResultValues& values,
                              UnitSystem units) {
  const std::optional<double> value = FieldValue(run, field, values, kModuleSymbols);
  if (!value) return std::nullopt;
  return ToUnits(field, *value, units);
}
