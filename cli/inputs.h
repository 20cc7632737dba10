// An engineer's inputs applied to a run: a named gas or a mixture, numbers
// given in SI units, a friction factor, the pipe fed from a vessel, and
// fittings as equivalent length. Every run a command prepares goes through
// the same order:
//
//   load, --gas, --set (read in --units), --friction-factor,
//   --inlet vessel, --fittings/--fitting, then calculate, sweep or solve.
//
// The last three steps follow from the diameter, the flow and the straight
// length, so a sweep prepares each point and a solve each candidate again;
// a single run is prepared once, right after it is loaded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/rows.h"
#include "cli/session.h"
#include "engineering/fittings.h"
#include "engineering/gases.h"
#include "engineering/roughness.h"
#include "engineering/units.h"

// The gas's stagnation state in the vessel that feeds the pipe, US units.
struct VesselState {
  double p0 = 0;  // psia
  double t0 = 0;  // F
};

struct Preparation {
  UnitSystem units = UnitSystem::Us;
  std::optional<GasChoice> gas;
  std::optional<double> frictionFactor;
  FrictionFactorKind frictionKind = FrictionFactorKind::Darcy;
  bool vesselInlet = false;  // P1 and T1 follow from `vessel`
  VesselState vessel;
  std::vector<double> kValues;
  std::vector<FittingUse> fittings;

  bool HasFittings() const { return !kValues.empty() || !fittings.empty(); }
  // Whether any step follows the --set texts.
  bool PreparesRuns() const { return frictionFactor || vesselInlet || HasFittings(); }
};

// The option texts the preparation is read from.
struct InputTexts {
  std::string units, gas, frictionFactor, inlet;
  bool fanning = false;
  std::vector<std::string> kValues, fittings;
};

// Reads the option texts; throws UsageError naming the option.
Preparation ReadPreparation(const InputTexts& texts, const NumberSymbols& symbols);

// The --set texts: run fields, and the vessel's p0 and t0 (into
// `preparation`) where the pipe is fed from a vessel. Numbers are kept
// exactly as given: the text as typed where the window's numeric test
// accepts it, else its shortest text; a number given in SI becomes the
// shortest text of its US value, at full precision. `notes` gets a line for
// each number typed in US units that the window would have rounded. Throws
// UsageError.
std::vector<Assignment> ReadSets(const std::vector<std::string>& sets, Preparation& preparation,
                                 const NumberSymbols& symbols, std::vector<std::string>& notes);

// The steps before the --set texts: the gas's name, MW and k.
void ApplyGas(RunRecord& run, const Preparation& preparation, const NumberSymbols& symbols);

struct Options;

// A loaded run made ready for its command: --gas and --set, and for a
// single run (calc, profile, report) the steps after them; sweep and solve
// prepare each point and candidate themselves. Returns the cells the
// preparation adds; throws UsageError naming the file.
Row PrepareLoaded(RunRecord& run, const Options& options, const std::string& file);

// The steps after the --set texts, on a run whose length is the straight
// length; returns the cells they add to the run's row (the vessel's state
// and the inlet's iterations, the straight length and the fittings' K).
// Throws InputError, EntranceChoked where the flow cannot enter the pipe.
Row Prepare(RunRecord& run, const Preparation& preparation, const NumberSymbols& symbols);

// The cells Prepare adds, without values: the shape of a row's header.
Row PreparedShape(const Preparation& preparation);

// A run prepared and calculated: its "end", its fields and the prepared
// cells, in the preparation's units. A run that cannot be prepared ends with
// why, its results empty.
struct PreparedRun {
  Row cells;
  bool complete = false;
};
PreparedRun CalculatePrepared(RunRecord run, const Preparation& preparation,
                              const NumberSymbols& symbols, MaxFlowMemo* memo = nullptr);

// The number cells of a row in `units`: value, text and unit converted,
// captions with the unit's name. A converted value is rounded to the 15
// significant digits that the conversion knows, so a number given in SI
// comes back as given; its text follows the field's own display pattern.
// Dimensionless numbers and texts stay as they are.
void ShowInUnits(Row& row, UnitSystem units, const NumberSymbols& symbols);

// The field's caption with the unit of `units`: "Initia, kPa(a)".
std::string_view UnitCaptionOf(FieldRef field, UnitSystem units);

// The text of a number measured like `field`, by the field's display
// pattern; an input's whole number without the window's bare decimal symbol.
std::string UnitNumberText(FieldRef field, double value, const NumberSymbols& symbols);
