#include "cli/tables_command.h"

#include <array>

#include "calc/field_names.h"
#include "cli/options.h"
#include "engineering/pipe_schedules.h"

namespace {

Cell Captioned(Cell cell, std::string_view caption) {
  cell.caption = caption;
  return cell;
}

// A number measured like a field of the run, so that --units shows it.
Cell Measured(std::string_view key, FieldRef like, double value, const NumberSymbols& symbols) {
  Cell cell =
      NumberCell(key, Field(like).unit, UnitNumberText(like, value, symbols), symbols, value);
  cell.field = like;
  return cell;
}

Row GasRow(const GasData& gas, UnitSystem units, const NumberSymbols& symbols) {
  return {TextCell("key", std::string(gas.key)),
          Captioned(TextCell("alias", std::string(gas.alias)), "Other Name"),
          Captioned(TextCell("formula", std::string(gas.formula)), "Formula"),
          Captioned(TextCell("name", std::string(gas.name)), "Gas Type"),
          Captioned(Measured("mw", kMolWeight, gas.mw, symbols), UnitCaptionOf(kMolWeight, units)),
          Captioned(Measured("k", kRatioK, gas.k, symbols), Caption(kRatioK)),
          Captioned(TextCell("source", std::string(gas.source)), "Source")};
}

// "Outside Diameter, mm": the three dimensions of a pipe in each unit system.
std::string_view DimensionCaption(std::size_t dimension, UnitSystem units) {
  static const auto captions = [] {
    const char* const titles[] = {"Outside Diameter", "Wall Thickness", "Inside Diameter"};
    std::array<std::array<std::string, 2>, 3> all;
    for (std::size_t d = 0; d < 3; ++d) {
      for (UnitSystem u : {UnitSystem::Us, UnitSystem::Si}) {
        all[d][static_cast<std::size_t>(u)] =
            std::string(titles[d]) + ", " + std::string(UnitText(kDiameter, u));
      }
    }
    return all;
  }();
  return captions[dimension][static_cast<std::size_t>(units)];
}

Row PipeRow(const PipeSize& size, UnitSystem units, const NumberSymbols& symbols) {
  const auto inches = [&](std::string_view key, std::size_t dimension, int mils) {
    return Captioned(Measured(key, kDiameter, mils / 1000.0, symbols),
                     DimensionCaption(dimension, units));
  };
  return {TextCell("schedule", std::string(size.schedule)),
          Captioned(TextCell("nps", std::string(size.nominal)), "Nominal Pipe Size"),
          inches("od", 0, size.outsideMils), inches("wall", 1, size.wallMils),
          inches("id", 2, size.InsideMils())};
}

template <typename Item, typename MakeRow>
ExitCode WriteTable(const Options& o, const std::vector<Item>& items, MakeRow makeRow) {
  RowStream out(o.format, stdout, o.csvHeader);
  for (const Item& item : items) {
    Row row = makeRow(item, o.inputs.units, o.symbols);
    ShowInUnits(row, o.inputs.units, o.symbols);
    out.Begin(row);
    out.Write(row);
  }
  if (out.End()) return ExitCode::kComplete;
  Diagnose("standard output", "write failed");
  return ExitCode::kFailure;
}

}  // namespace

ExitCode GasesCommand(const Options& o) {
  const std::vector<GasData> gases(GasTable().begin(), GasTable().end());
  return WriteTable(o, gases, GasRow);
}

ExitCode SchedulesCommand(const Options& o) {
  const std::vector<PipeSize> sizes =
      o.schedule.empty() ? ScheduleListing() : ScheduleSizes(o.schedule);
  return WriteTable(o, sizes, PipeRow);
}
