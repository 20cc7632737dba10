// Named gases and mixtures of them: the molecular weight and the ratio of
// specific heats k that a run needs, from the gas table (gas_data.cpp) or from
// a mole-fraction mixture of its gases.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "calc/run_record.h"

// One gas of the table. MW in lb/lb-mole (numerically kg/kmol), k the
// ideal-gas Cp/Cv at 60 F.
struct GasData {
  std::string_view key;      // what a user types: "carbon-dioxide"
  std::string_view alias;    // another spelling, "" if none: "hydrogen-sulfide"
  std::string_view formula;  // "CO2"; empty where there is none (air, natural gas)
  std::string_view name;     // the run's Gas Type text: "Carbon Dioxide"
  double mw;
  double k;
  std::string_view source;  // where MW and k come from, and how k was derived
};

inline constexpr std::size_t kGasCount = 26;

// The table in the order it is listed to users.
const std::array<GasData, kGasCount>& GasTable();

// A gas by its key, alias or formula, in any letter case, with blanks and
// underscores taken as hyphens ("Carbon Dioxide", "CO2"); nullptr if unknown.
const GasData* FindGas(std::string_view name);

// Mole fractions of a mixture must sum to 1 within this.
inline constexpr double kFractionSumTolerance = 1e-6;

struct GasComponent {
  const GasData* gas;
  double fraction;  // mole fraction as given
};

// What a named gas or mixture sets in a run: the Gas Type text, MW and k.
struct GasChoice {
  std::string text;
  double mw;
  double k;
  std::vector<GasComponent> components;  // one with fraction 1 for a single gas
};

// Sets the run's Gas Type, MW and k from the choice, the numbers at full
// precision in the symbols; Z1 and Z2 stay as they are.
void ApplyGasChoice(RunRecord& run, const GasChoice& choice, const NumberSymbols& symbols);

// Reads "NAME" (a gas of the table) or "NAME:FRACTION[,NAME:FRACTION...]" (a
// mixture by mole fractions, "." as decimal sign). A mixture's MW is the
// mole-weighted mean of its gases' MW; its k follows from the mole-weighted
// molar heat capacity (see MixtureK). Throws InputError naming the bad part:
// an unknown gas, a missing or bad fraction, a gas given twice, fractions
// that do not sum to 1 within kFractionSumTolerance.
GasChoice ParseGas(std::string_view named);

// k of an ideal-gas mixture: each gas's molar heat capacity in units of R,
// cp_i = k_i / (k_i - 1) (from Cp - Cv = R and k = Cp / Cv), is weighted by
// its mole fraction, cp = sum(y_i cp_i) / sum(y_i), and k = cp / (cp - 1).
// Dividing by the sum keeps a mixture of one gas at exactly that gas's k
// wherever the rounding allows and makes the fractions' last-digit slack
// immaterial. Holds for ideal gases; Z stays what the user gives.
double MixtureK(const std::vector<GasComponent>& components);

// sum(y_i MW_i) / sum(y_i), lb/lb-mole.
double MixtureMolecularWeight(const std::vector<GasComponent>& components);
