// The three output formats of the command line, each one writer: a header
// made from the shape of the rows, one record per row, a separator between
// records and a footer. Rows are streamed: each is written as it comes, so
// memory does not grow with the number of rows. Records may be formatted on
// any thread (a sweep formats its points in parallel) and written in order.
#pragma once

#include <cstdio>
#include <string>

#include "cli/rows.h"

enum class Format { kTable, kCsv, kJson };

// How a CSV header names a column: by key and unit, "p2 [psia]" and
// "p2_value [psia]", which a spreadsheet reads as one header line (a pure
// number or a text has no unit: "m2", "desc"); or by the key alone.
enum class CsvHeader { kUnits, kKeys };

// table: one block per run, "== FILE: END" and a line per field (key,
//   caption, the window's text).
// csv: RFC 4180, CR LF after every record, a field quoted when it holds a
//   comma, a quote or a line break, quotes doubled; one header line; a
//   number is two columns, its text under its key and its value under
//   KEY_value, each with its unit in brackets unless CsvHeader::kKeys.
// json: an array of objects, one per row, keys in the rows' order; a number
//   is {"text": ..., "value": ...} (value null when the text holds none), a
//   count a plain number, a text a string.
// Values are the shortest texts that read back to the same double.
class RowFormat {
 public:
  virtual ~RowFormat() = default;
  virtual std::string Header(const Row& shape) const = 0;
  virtual std::string Record(const Row& row) const = 0;
  virtual const char* Between() const = 0;
  virtual const char* Footer(bool anyRecord) const = 0;
};
const RowFormat& FormatOf(Format format, CsvHeader header = CsvHeader::kUnits);

class RowStream {
 public:
  RowStream(Format format, std::FILE* out, CsvHeader header = CsvHeader::kUnits)
      : format_(FormatOf(format, header)), out_(out) {}

  const RowFormat& Formatter() const { return format_; }
  // The header, from a row with the cells every row will have.
  void Begin(const Row& shape);
  void Write(const Row& row) { WriteRecord(format_.Record(row)); }
  void WriteRecord(const std::string& record);
  // Writes the footer and flushes; false when anything could not be written.
  bool End();
  // A write has failed: whatever follows is lost, so producers may stop.
  bool Failed() const { return failed_; }

 private:
  void Put(const std::string& text);

  const RowFormat& format_;
  std::FILE* out_;
  bool begun_ = false;
  bool anyRecord_ = false;
  bool failed_ = false;
};
