// Rows of results as the command line writes them: every number carries the
// window's text and its value, so that a spreadsheet or a script gets numbers
// while a reader still sees what the window would show.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calc/quiet_host.h"

struct Cell {
  std::string key;
  std::string text;
  bool numeric = false;         // a text that stands for a number
  std::optional<double> value;  // numeric cells whose text reads as a number
  bool count = false;           // an index: its text is its value
};
using Row = std::vector<Cell>;

// The value of a number shown as `text`: `computed` where there is one,
// otherwise the text read back (an input's text is its value).
std::optional<double> NumberValue(const std::string& text, const NumberSymbols& symbols,
                                  std::optional<double> computed);

Cell TextCell(std::string key, std::string text);
// A cell for a number shown as `text`, with its NumberValue.
Cell NumberCell(std::string key, std::string text, const NumberSymbols& symbols,
                std::optional<double> computed = std::nullopt);
// A cell for an index: one column in CSV, a plain number in JSON.
Cell CountCell(std::string key, long long count);

// A run's cells: "end" (how its calculation ended) and one per field, the
// results with the values of `computed`.
void AppendRun(Row& row, const RunRecord& run, const std::string& end, const NumberSymbols& symbols,
               const ResultValues& computed = {});

enum class Format { Table, Csv, Json };

// RFC 4180: CR LF after every record, a field quoted when it holds a comma, a
// quote or a line break, quotes doubled. A numeric cell is two columns, the
// text under its key and the value under key "_value".
std::string CsvHeader(const Row& row);
std::string CsvRecord(const Row& row);

// One JSON object per row: a numeric cell as {"text": ..., "value": ...}
// (value null when the text holds no number), a text cell as a string.
std::string JsonObject(const Row& row);

// The text a run's calculation ended with: "complete", or its message.
std::string RunEnd(const CalcOutcome& outcome, const NumberSymbols& symbols);
