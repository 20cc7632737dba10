// Rows of results as the command line writes them: every number carries the
// window's text and its value, so that a spreadsheet or a script gets numbers
// while a reader still sees what the window would show.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calculate.h"
#include "engineering/profile.h"

enum class CellKind {
  kText,    // free text
  kNumber,  // a number as the window shows it, and its value
  kCount,   // an index: its text is its value
};

struct Cell {
  std::string_view key;   // a field's key or a fixed column name
  std::string_view unit;  // the number's unit; "-" for a pure number, empty otherwise
  std::string text;
  CellKind kind = CellKind::kText;
  std::optional<double> value;  // numbers whose text holds one, and counts
  // The field whose quantity a number is, so that it can be shown in other
  // units: its own field, or one measured alike (a station's pressure).
  std::optional<FieldRef> field = std::nullopt;
  std::string_view caption = {};  // what a table shows beside the key; may be empty
};
using Row = std::vector<Cell>;

Cell TextCell(std::string_view key, std::string text);
// A number shown as `text`, worth `computed` where the calculation gave a
// value, else the text read back (an input's text is its value).
Cell NumberCell(std::string_view key, std::string_view unit, std::string text,
                const NumberSymbols& symbols, std::optional<double> computed = std::nullopt);
Cell CountCell(std::string_view key, long long count);

// The row's cell of that key; the row must have one.
const Cell& CellOf(const Row& row, std::string_view key);
Cell& CellOf(Row& row, std::string_view key);

// The cell of a field of the run, by the field table's key and unit.
Cell FieldCell(const RunRecord& run, FieldRef ref, const NumberSymbols& symbols,
               const ResultValues& computed = {});

// A run's cells: "end" (how its calculation ended) and one per field in the
// field table's order.
void AppendRun(Row& row, const RunRecord& run, const std::string& end, const NumberSymbols& symbols,
               const ResultValues& computed = {});

// A profile station's row: "station", "x", then the station columns; and
// the same cells without values, for a header.
Row StationRow(const ProfileStation& station, int index, const NumberSymbols& symbols);
Row StationShape();
