#include "cli/rows.h"

#include <algorithm>
#include <stdexcept>

#include "calc/field_names.h"

Cell TextCell(std::string_view key, std::string text) {
  return Cell{key, {}, std::move(text), CellKind::kText, std::nullopt};
}

Cell NumberCell(std::string_view key, std::string_view unit, std::string text,
                const NumberSymbols& symbols, std::optional<double> computed) {
  const std::optional<double> value = computed ? computed : TextToNumber(text, symbols);
  return Cell{key, unit, std::move(text), CellKind::kNumber, value};
}

Cell CountCell(std::string_view key, long long count) {
  return Cell{key, {}, std::to_string(count), CellKind::kCount, static_cast<double>(count)};
}

const Cell& CellOf(const Row& row, std::string_view key) {
  const auto cell =
      std::find_if(row.begin(), row.end(), [&](const Cell& c) { return c.key == key; });
  if (cell == row.end()) throw std::out_of_range("no cell \"" + std::string(key) + "\"");
  return *cell;
}

Cell& CellOf(Row& row, std::string_view key) {
  return const_cast<Cell&>(CellOf(static_cast<const Row&>(row), key));
}

Cell FieldCell(const RunRecord& run, FieldRef ref, const NumberSymbols& symbols,
               const ResultValues& computed) {
  const FieldInfo& field = Field(ref);
  const std::string& text = Text(run, ref);
  Cell cell = HoldsNumber(ref) ? NumberCell(field.key, field.unit, text, symbols, computed.Of(ref))
                               : TextCell(field.key, text);
  cell.field = ref;
  cell.caption = field.caption;
  return cell;
}

void AppendRun(Row& row, const RunRecord& run, const std::string& end, const NumberSymbols& symbols,
               const ResultValues& computed) {
  row.push_back(TextCell("end", end));
  for (const FieldInfo& field : FieldTable()) {
    row.push_back(FieldCell(run, field.ref, symbols, computed));
  }
}

Row StationRow(const ProfileStation& station, int index, const NumberSymbols& symbols) {
  Row row{CountCell("station", index), FieldCell(station.run, kLength, symbols)};
  row.back().key = "x";
  row.back().caption = {};
  for (const StationColumn& column : StationColumns()) {
    StationValue at = ValueAt(station, column, symbols);
    row.push_back(Cell{column.key, Field(column.exit).unit, std::move(at.text), CellKind::kNumber,
                       at.value, column.exit});
  }
  return row;
}

Row StationShape() {
  return StationRow(ProfileStation{DefaultRunRecord({}), {}, false}, 0, {});
}
