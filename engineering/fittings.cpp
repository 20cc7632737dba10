#include "engineering/fittings.h"

#include <cmath>
#include <string>

#include "calc/gas_state.h"
#include "engineering/input_error.h"
#include "engineering/text_parts.h"
#include "numtext/numtext.h"

namespace {

// "x2" at the end of a fitting: the count; 1 where there is none.
int FittingCount(std::string_view item, std::string_view& name) {
  const auto x = item.find_last_of("xX");
  const std::string_view digits = x == std::string_view::npos ? "" : item.substr(x + 1);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    name = item;
    return 1;
  }
  name = item.substr(0, x);
  const int count = digits.size() > 5 ? 0 : std::stoi(std::string(digits));
  if (count < 1 || count > kMostFittings) {
    throw InputError(Quoted(item) + ": the count must be a whole number from 1 to " +
                     std::to_string(kMostFittings));
  }
  return count;
}

void RequireItem(std::string_view item, std::string_view list) {
  if (item.empty()) throw InputError("an empty item in " + Quoted(list));
}

void RequirePipe(double straightFt, double dIn, double eFt) {
  if (!(straightFt >= 0) || !std::isfinite(straightFt)) {
    throw InputError("the straight length must be 0 or more, not " + ShortestText(straightFt));
  }
  if (!(dIn > 0) || !(eFt > 0) || !std::isfinite(dIn) || !std::isfinite(eFt)) {
    throw InputError("fittings need a pipe diameter and roughness above 0");
  }
}

}  // namespace

const FittingData* FindFitting(std::string_view key) {
  const std::string wanted = NameKey(key);
  for (const FittingData& fitting : FittingTable()) {
    if (wanted == fitting.key) return &fitting;
  }
  return nullptr;
}

std::vector<double> ParseKValues(std::string_view text) {
  std::vector<double> values;
  for (std::string_view part : SplitList(text, ',')) {
    RequireItem(part, text);
    const auto k = ListNumber(part);
    if (!k) throw InputError(Quoted(part) + " is not a resistance coefficient K");
    if (*k < 0) throw InputError("K " + std::string(part) + " is negative");
    values.push_back(*k);
  }
  return values;
}

std::vector<FittingUse> ParseFittings(std::string_view text) {
  std::vector<FittingUse> uses;
  for (std::string_view item : SplitList(text, ',')) {
    RequireItem(item, text);
    std::string_view name;
    const int count = FittingCount(item, name);
    const FittingData* fitting = FindFitting(name);
    if (!fitting) throw InputError("unknown fitting " + Quoted(name));
    uses.push_back({fitting, count});
  }
  return uses;
}

EquivalentLength AddFittings(double straightFt, double dIn, double eFt,
                             const std::vector<double>& kValues,
                             const std::vector<FittingUse>& fittings) {
  RequirePipe(straightFt, dIn, eFt);
  const double dFt = DiameterFeet(dIn);
  const double q = RoughnessLog(eFt, dFt);
  if (q == 0) throw InputError("a roughness of 3.7 pipe diameters has no friction factor");
  const double f = FrictionFactor(q);
  double kSum = 0;
  for (double k : kValues) kSum += k;
  for (const FittingUse& use : fittings) {
    kSum += use.count * (use.fitting->k + use.fitting->kPerF * f);
  }
  const double total = straightFt + (kSum * dFt) / f;
  if (!std::isfinite(total)) throw InputError("the fittings' equivalent length is out of range");
  return {straightFt, total, f, kSum};
}
