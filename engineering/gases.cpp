#include "engineering/gases.h"

#include <cmath>

#include "calc/field_names.h"
#include "engineering/input_error.h"
#include "engineering/text_parts.h"
#include "numtext/numtext.h"

namespace {

// A mixture's part in the Gas Type text: the formula where there is one,
// "CH4 90%", otherwise the name, "Air 21%".
std::string ComponentText(const GasComponent& c) {
  const std::string_view label = c.gas->formula.empty() ? c.gas->name : c.gas->formula;
  constexpr DisplayPattern kPercent = ReadDisplayPattern("0.####");
  std::string percent = FormatByPattern(c.fraction * 100, kPercent);
  if (percent.back() == '.') percent.pop_back();  // the pattern keeps its point
  return std::string(label) + " " + percent + "%";
}

std::string MixtureText(const std::vector<GasComponent>& components) {
  std::string text;
  for (const GasComponent& c : components) text += (text.empty() ? "" : ", ") + ComponentText(c);
  return text;
}

const GasData& RequireGas(std::string_view name) {
  const GasData* gas = FindGas(name);
  if (!gas) throw InputError("unknown gas " + Quoted(name));
  return *gas;
}

// A fraction above 0 and at most 1: a zero would list a gas that is not there.
double RequireFraction(std::string_view text, const GasData& gas) {
  const auto y = ListNumber(text);
  if (!y)
    throw InputError(Quoted(text) + " is not a mole fraction (of " + std::string(gas.key) + ")");
  if (!(*y > 0 && *y <= 1)) {
    throw InputError("the mole fraction of " + std::string(gas.key) +
                     " must be above 0 and at most 1, not " + std::string(text));
  }
  return *y;
}

GasComponent ParseComponent(std::string_view part, const std::vector<GasComponent>& before) {
  const auto colon = part.find(':');
  if (colon == std::string_view::npos) {
    throw InputError(Quoted(part) + ": give each gas of a mixture as NAME:FRACTION");
  }
  const GasData& gas = RequireGas(Trimmed(part.substr(0, colon)));
  for (const GasComponent& c : before) {
    if (c.gas == &gas) throw InputError(std::string(gas.key) + " is given twice");
  }
  return {&gas, RequireFraction(Trimmed(part.substr(colon + 1)), gas)};
}

void RequireUnitSum(const std::vector<GasComponent>& components) {
  double sum = 0;
  for (const GasComponent& c : components) sum += c.fraction;
  if (!(std::fabs(sum - 1) <= kFractionSumTolerance)) {
    throw InputError("the mole fractions sum to " + ShortestText(sum) +
                     ", not 1 (within 0.000001)");
  }
}

}  // namespace

const GasData* FindGas(std::string_view name) {
  const std::string key = NameKey(name);
  for (const GasData& gas : GasTable()) {
    if (key == gas.key || (!gas.alias.empty() && key == gas.alias) ||
        (!gas.formula.empty() && key == NameKey(gas.formula))) {
      return &gas;
    }
  }
  return nullptr;
}

double MixtureMolecularWeight(const std::vector<GasComponent>& components) {
  double weighted = 0, sum = 0;
  for (const GasComponent& c : components) {
    weighted += c.fraction * c.gas->mw;
    sum += c.fraction;
  }
  return weighted / sum;
}

double MixtureK(const std::vector<GasComponent>& components) {
  double weighted = 0, sum = 0;
  for (const GasComponent& c : components) {
    weighted += c.fraction * (c.gas->k / (c.gas->k - 1));
    sum += c.fraction;
  }
  const double cp = weighted / sum;
  return cp / (cp - 1);
}

GasChoice ParseGas(std::string_view named) {
  const auto parts = SplitList(named, ',');
  if (parts.size() == 1 && parts.front().find(':') == std::string_view::npos) {
    if (parts.front().empty()) throw InputError("no gas given");
    const GasData& gas = RequireGas(parts.front());
    return {std::string(gas.name), gas.mw, gas.k, {{&gas, 1.0}}};
  }
  std::vector<GasComponent> components;
  for (std::string_view part : parts) components.push_back(ParseComponent(part, components));
  RequireUnitSum(components);
  if (components.size() == 1) {
    const GasData& gas = *components.front().gas;
    return {std::string(gas.name), gas.mw, gas.k, components};
  }
  return {MixtureText(components), MixtureMolecularWeight(components), MixtureK(components),
          components};
}

void ApplyGasChoice(RunRecord& run, const GasChoice& choice, const NumberSymbols& symbols) {
  Text(run, kGasType) = choice.text;
  Text(run, kMolWeight) = ShortestText(choice.mw, symbols);
  Text(run, kRatioK) = ShortestText(choice.k, symbols);
}
