#include "cli/inputs.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "calc/field_names.h"
#include "cli/options.h"
#include "engineering/input_error.h"
#include "engineering/typed_value.h"
#include "engineering/unit_data.h"
#include "engineering/vessel_inlet.h"

namespace {

// ---------------------------------------------------------------- options

template <typename Read>
auto Reading(const char* option, Read read) {
  try {
    return read();
  } catch (const InputError& error) {
    throw UsageError(std::string("--") + option + ": " + error.what());
  }
}

std::optional<double> FrictionFactorGiven(const std::string& text, const NumberSymbols& symbols) {
  if (text.empty()) return std::nullopt;
  const auto f = TypedNumber(text, symbols);
  if (!f || !(*f > 0) || !std::isfinite(*f)) {
    throw UsageError("--friction-factor: \"" + text + "\" is not a number above 0");
  }
  return f;
}

bool VesselInletGiven(const std::string& inlet) {
  if (inlet.empty() || inlet == "pipe") return false;
  if (inlet == "vessel") return true;
  throw UsageError("--inlet: \"" + inlet + "\" is neither vessel nor pipe");
}

// ---------------------------------------------------------------- --set

bool Names(const std::string& key, FieldRef field) {
  const std::vector<const FieldInfo*> fields = FieldsNamed(key);
  return fields.size() == 1 && fields.front()->ref == field;
}

// A --set of the vessel's p0 or t0 (in US units into `p`, and counted in
// `given`); false for any other.
bool ReadVesselSet(const std::string& set, Preparation& p, const NumberSymbols& symbols,
                   std::array<bool, 2>& given) {
  const std::size_t equals = set.find('=');
  if (equals == std::string::npos) return false;
  const std::string key = set.substr(0, equals), text = set.substr(equals + 1);
  const bool pressure = Names(key, kStagnationPressure);
  if (!pressure && !Names(key, kStagnationTemperature)) return false;
  if (!p.vesselInlet)
    throw UsageError("--set " + key + ": a vessel's p0 and t0 go with --inlet vessel");
  const auto value = TypedNumber(text, symbols);
  if (!value) throw UsageError("--set " + key + ": \"" + text + "\" is not a number");
  const FieldRef field = pressure ? kStagnationPressure : kStagnationTemperature;
  (pressure ? p.vessel.p0 : p.vessel.t0) =
      Reading("set", [&] { return FromUnits(field, *value, p.units); });
  given[pressure ? 0 : 1] = true;
  return true;
}

void RefuseWithVessel(FieldRef field) {
  if (field == kPressure1 || field == kTemperature1) {
    throw UsageError("--set " + std::string(Key(field)) +
                     ": the vessel inlet finds p1 and t1 from the vessel's p0 and t0");
  }
}

// A number typed into the run: kept as given in US units, converted at full
// precision from SI.
Assignment Number(Assignment set, const Preparation& p, const NumberSymbols& symbols,
                  std::vector<std::string>& notes) {
  if (!HoldsNumber(set.field)) return set;
  const double value = *TypedNumber(set.text, symbols);
  if (p.units == UnitSystem::Us) {
    const std::string note = WindowRoundingNote(set.field, value, symbols);
    if (!note.empty()) notes.push_back(note);
  }
  set.text =
      Reading("set", [&] { return RunTextOf(set.field, set.text, value, p.units, symbols); });
  return set;
}

// ---------------------------------------------------------------- preparing

double InputNumber(const RunRecord& run, FieldRef field, const NumberSymbols& symbols) {
  const std::string& text = Text(run, field);
  const auto value = TextToNumber(text, symbols);
  if (!value) throw InputError(DistinctName(field) + ": \"" + text + "\" is not a number");
  return *value;
}

// The columns a preparation adds to a row, each measured like a field.
struct ExtraColumn {
  std::string_view key;
  std::string_view title;
  std::optional<FieldRef> like;  // none: a count
};
const ExtraColumn kVesselPressure{"p0_vessel", "Vessel Pressure", kStagnationPressure};
const ExtraColumn kVesselTemperature{"t0_vessel", "Vessel Temperature", kStagnationTemperature};
const ExtraColumn kInletIterations{"inlet_iterations", "Vessel Inlet Iterations", std::nullopt};
const ExtraColumn kStraightLength{"l_straight", "Straight Length", kLength};
const ExtraColumn kFittingsK{"k_fittings", "Fittings K, Sum", kFrictionFactor};
const ExtraColumn* const kExtraColumns[] = {&kVesselPressure, &kVesselTemperature,
                                            &kInletIterations, &kStraightLength, &kFittingsK};

// "Vessel Pressure, kPa(a)": the title and the unit of `units`, made once.
std::string_view ExtraCaption(const ExtraColumn& column, UnitSystem units) {
  static const auto captions = [] {
    std::array<std::array<std::string, 2>, std::size(kExtraColumns)> all;
    for (std::size_t c = 0; c < all.size(); ++c) {
      for (UnitSystem u : {UnitSystem::Us, UnitSystem::Si}) {
        const ExtraColumn& column = *kExtraColumns[c];
        const std::string_view unit = column.like ? UnitText(*column.like, u) : "";
        all[c][static_cast<std::size_t>(u)] = std::string(column.title) +
                                              (unit.empty() || unit == "-" ? "" : ", ") +
                                              (unit == "-" ? "" : std::string(unit));
      }
    }
    return all;
  }();
  const auto at = std::find(std::begin(kExtraColumns), std::end(kExtraColumns), &column);
  return captions[static_cast<std::size_t>(at - std::begin(kExtraColumns))]
                 [static_cast<std::size_t>(units)];
}

// The cell of an extra column, in US units; no value for a header's shape.
Cell ExtraCell(const ExtraColumn& column, std::optional<double> usValue, UnitSystem units,
               const NumberSymbols& symbols) {
  Cell cell;
  if (column.like) {
    const std::string text = usValue ? UnitNumberText(*column.like, *usValue, symbols) : "";
    cell = NumberCell(column.key, Field(*column.like).unit, text, symbols, usValue);
    cell.field = column.like;
  } else {
    cell = CountCell(column.key, usValue ? static_cast<long long>(*usValue) : 0);
    if (!usValue) cell.text.clear();
  }
  cell.caption = ExtraCaption(column, units);
  return cell;
}

Row VesselCells(const Preparation& p, const VesselInletResult* inlet,
                const NumberSymbols& symbols) {
  if (!p.vesselInlet) return {};
  const auto value = [&](double v) { return inlet ? std::optional(v) : std::nullopt; };
  return {ExtraCell(kVesselPressure, value(p.vessel.p0), p.units, symbols),
          ExtraCell(kVesselTemperature, value(p.vessel.t0), p.units, symbols),
          ExtraCell(kInletIterations, value(inlet ? inlet->iterations : 0), p.units, symbols)};
}

Row FittingCells(const Preparation& p, const EquivalentLength* length,
                 const NumberSymbols& symbols) {
  if (!p.HasFittings()) return {};
  const auto value = [&](double v) { return length ? std::optional(v) : std::nullopt; };
  return {ExtraCell(kStraightLength, value(length ? length->straightFt : 0), p.units, symbols),
          ExtraCell(kFittingsK, value(length ? length->kSum : 0), p.units, symbols)};
}

void SetRoughness(RunRecord& run, const Preparation& p, const NumberSymbols& symbols) {
  const double d = InputNumber(run, kDiameter, symbols);
  const RoughnessForFriction e = RoughnessFor(*p.frictionFactor, p.frictionKind, d);
  Text(run, kRoughness) = ShortestText(e.roughnessFt, symbols);
}

VesselInletResult SetInletState(RunRecord& run, const Preparation& p,
                                const NumberSymbols& symbols) {
  const auto number = [&](FieldRef field) { return InputNumber(run, field, symbols); };
  const VesselInletResult inlet =
      VesselInlet({p.vessel.p0, p.vessel.t0, number(kRatioK), number(kMolWeight), number(kFlow),
                   number(kZ1), number(kDiameter)},
                  p.units);
  Text(run, kPressure1) = ShortestText(inlet.p1, symbols);
  Text(run, kTemperature1) = ShortestText(inlet.t1, symbols);
  return inlet;
}

EquivalentLength SetTotalLength(RunRecord& run, const Preparation& p,
                                const NumberSymbols& symbols) {
  const auto number = [&](FieldRef field) { return InputNumber(run, field, symbols); };
  const EquivalentLength length =
      AddFittings(number(kLength), number(kDiameter), number(kRoughness), p.kValues, p.fittings);
  Text(run, kLength) = ShortestText(length.totalFt, symbols);
  return length;
}

// ---------------------------------------------------------------- units

// The value rounded to 15 significant digits of `scale`: what a conversion
// of a double knows. A temperature's scale is its Fahrenheit value too,
// since (F - 32) / 1.8 keeps the absolute error of F.
double Rounded15(double value, double scale) {
  if (!(scale > 0) || !std::isfinite(value)) return value;
  const int decimals = 14 - static_cast<int>(std::floor(std::log10(scale)));
  if (decimals < 0 || decimals > 330) return value;
  char text[400];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  double rounded = value;
  std::from_chars(text, end.ptr, rounded);
  return rounded;
}

const FieldUnit& UnitRow(FieldRef field) {
  return FieldUnits()[FieldIndex(field)];
}

double ShownValue(FieldRef field, double usValue, UnitSystem units) {
  const double shown = ToUnits(field, usValue, units);
  const bool temperature = UnitRow(field).quantity == Quantity::Temperature;
  const double scale = std::fabs(shown);
  return Rounded15(
      shown, temperature ? std::max(scale, std::fabs(usValue) / kFahrenheitPerCelsius) : scale);
}

// "Initia, kPa(a)", made once for every field.
std::string_view SiCaption(FieldRef field) {
  static const auto captions = [] {
    std::array<std::string, kFieldCount> all;
    for (const FieldInfo& info : FieldTable()) {
      all[FieldIndex(info.ref)] = UnitCaption(info.ref, UnitSystem::Si);
    }
    return all;
  }();
  return captions[FieldIndex(field)];
}

void ConvertCell(Cell& cell, const NumberSymbols& symbols) {
  const FieldRef field = *cell.field;
  const Quantity quantity = UnitRow(field).quantity;
  if (quantity == Quantity::Text || quantity == Quantity::Ratio) return;
  if (cell.key == Key(field)) cell.caption = SiCaption(field);
  cell.unit = UnitText(field, UnitSystem::Si);
  if (!cell.value) return;
  cell.value = ShownValue(field, *cell.value, UnitSystem::Si);
  cell.text = UnitNumberText(field, *cell.value, symbols);
}

}  // namespace

Preparation ReadPreparation(const InputTexts& texts, const NumberSymbols& symbols) {
  Preparation p;
  if (!texts.units.empty())
    p.units = Reading("units", [&] { return ParseUnitSystem(texts.units); });
  if (!texts.gas.empty()) p.gas = Reading("gas", [&] { return ParseGas(texts.gas); });
  p.frictionFactor = FrictionFactorGiven(texts.frictionFactor, symbols);
  if (texts.fanning && !p.frictionFactor) throw UsageError("--fanning goes with --friction-factor");
  if (texts.fanning) p.frictionKind = FrictionFactorKind::Fanning;
  p.vesselInlet = VesselInletGiven(texts.inlet);
  for (const std::string& k : texts.kValues) {
    const std::vector<double> values = Reading("fittings", [&] { return ParseKValues(k); });
    p.kValues.insert(p.kValues.end(), values.begin(), values.end());
  }
  for (const std::string& names : texts.fittings) {
    const std::vector<FittingUse> uses = Reading("fitting", [&] { return ParseFittings(names); });
    p.fittings.insert(p.fittings.end(), uses.begin(), uses.end());
  }
  return p;
}

std::vector<Assignment> ReadSets(const std::vector<std::string>& sets, Preparation& p,
                                 const NumberSymbols& symbols, std::vector<std::string>& notes) {
  std::vector<Assignment> assignments;
  std::array<bool, 2> vesselGiven{};
  for (const std::string& set : sets) {
    if (ReadVesselSet(set, p, symbols, vesselGiven)) continue;
    Assignment assignment = ParseAssignment(set, symbols);
    if (p.vesselInlet) RefuseWithVessel(assignment.field);
    if (p.frictionFactor && assignment.field == kRoughness) {
      throw UsageError("--set e: --friction-factor sets the roughness");
    }
    assignments.push_back(Number(std::move(assignment), p, symbols, notes));
  }
  if (p.vesselInlet && !(vesselGiven[0] && vesselGiven[1])) {
    throw UsageError(
        "--inlet vessel needs the vessel's --set p0=PRESSURE and --set t0=TEMPERATURE");
  }
  return assignments;
}

void ApplyGas(RunRecord& run, const Preparation& p, const NumberSymbols& symbols) {
  if (p.gas) ApplyGasChoice(run, *p.gas, symbols);
}

Row PrepareLoaded(RunRecord& run, const Options& o, const std::string& file) {
  ApplyGas(run, o.inputs, o.symbols);
  for (const Assignment& set : o.sets) Apply(run, set);
  if (o.command == Command::kSweep || o.command == Command::kSolve) return {};
  try {
    return Prepare(run, o.inputs, o.symbols);
  } catch (const InputError& error) {
    throw UsageError((file.empty() ? "" : file + ": ") + error.what());
  }
}

Row Prepare(RunRecord& run, const Preparation& p, const NumberSymbols& symbols) {
  if (p.frictionFactor) SetRoughness(run, p, symbols);
  Row cells;
  if (p.vesselInlet) {
    const VesselInletResult inlet = SetInletState(run, p, symbols);
    cells = VesselCells(p, &inlet, symbols);
  }
  if (p.HasFittings()) {
    const EquivalentLength length = SetTotalLength(run, p, symbols);
    const Row fittings = FittingCells(p, &length, symbols);
    cells.insert(cells.end(), fittings.begin(), fittings.end());
  }
  return cells;
}

Row PreparedShape(const Preparation& p) {
  Row cells = VesselCells(p, nullptr, {});
  const Row fittings = FittingCells(p, nullptr, {});
  cells.insert(cells.end(), fittings.begin(), fittings.end());
  return cells;
}

PreparedRun CalculatePrepared(RunRecord run, const Preparation& p, const NumberSymbols& symbols,
                              MaxFlowMemo* memo) {
  PreparedRun prepared;
  Row extra;
  try {
    extra = Prepare(run, p, symbols);
  } catch (const InputError& error) {
    ClearResults(run);
    AppendRun(prepared.cells, run, error.what(), symbols);
    extra = PreparedShape(p);
    prepared.cells.insert(prepared.cells.end(), extra.begin(), extra.end());
    ShowInUnits(prepared.cells, p.units, symbols);
    return prepared;
  }
  const Calculated calculated = CalculateQuietly(run, symbols, memo);
  prepared.complete = calculated.outcome.Complete();
  AppendRun(prepared.cells, run, RunEnd(calculated.outcome, symbols), symbols, calculated.values);
  prepared.cells.insert(prepared.cells.end(), extra.begin(), extra.end());
  ShowInUnits(prepared.cells, p.units, symbols);
  return prepared;
}

void ShowInUnits(Row& row, UnitSystem units, const NumberSymbols& symbols) {
  if (units == UnitSystem::Us) return;
  for (Cell& cell : row) {
    if (cell.kind == CellKind::kNumber && cell.field) ConvertCell(cell, symbols);
  }
}

std::string_view UnitCaptionOf(FieldRef field, UnitSystem units) {
  return units == UnitSystem::Si ? SiCaption(field) : Caption(field);
}

std::string UnitNumberText(FieldRef field, double value, const NumberSymbols& symbols) {
  const DisplayPattern& pattern = Field(field).pattern;
  std::string text = FormatByPattern(value, pattern, symbols);
  const std::string& point = symbols.decimal;
  if (pattern == kInputPattern && text.size() > point.size() &&
      text.compare(text.size() - point.size(), point.size(), point) == 0) {
    text.resize(text.size() - point.size());
  }
  return text;
}
