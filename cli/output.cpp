#include "cli/output.h"

#include <algorithm>
#include <cstdint>

namespace {

std::string Value(const Cell& cell) {
  return cell.value ? ShortestText(*cell.value) : std::string();
}

// ---------------------------------------------------------------- table

class TableFormat : public RowFormat {
 public:
  std::string Header(const Row&) const override { return {}; }
  // A run's block is titled by its file and how its calculation ended; any
  // other row (a gas, a pipe size) by its first cell.
  std::string Record(const Row& row) const override {
    const bool run =
        std::any_of(row.begin(), row.end(), [](const Cell& c) { return c.key == "end"; });
    if (!run && !row.empty()) {
      std::string lines;
      for (auto cell = row.begin() + 1; cell != row.end(); ++cell) lines += Line(*cell);
      return "== " + row.front().text + "\n" + lines;
    }
    std::string title = "(defaults)", end;
    std::string lines;
    for (const Cell& cell : row) {
      if (cell.key == "file") {
        if (!cell.text.empty()) title = cell.text;
      } else if (cell.key == "end") {
        end = cell.text;
      } else {
        lines += Line(cell);
      }
    }
    return "== " + title + ": " + end + "\n" + lines;
  }
  const char* Between() const override { return "\n"; }
  const char* Footer(bool) const override { return ""; }

 private:
  // "key    caption                            text", trailing blanks dropped.
  static std::string Line(const Cell& cell) {
    std::string line = Padded(std::string(cell.key), 6) + ' ' +
                       Padded(std::string(cell.caption), 34) + ' ' + cell.text;
    line.erase(line.find_last_not_of(' ') + 1);
    return line + '\n';
  }
  static std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
  }
};

// ---------------------------------------------------------------- CSV

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

class CsvFormat : public RowFormat {
 public:
  explicit CsvFormat(CsvHeader header) : header_(header) {}
  std::string Header(const Row& shape) const override {
    return Line(shape, [this](std::string& line, const Cell& cell) {
      const std::string key(cell.key);
      const bool unit = header_ == CsvHeader::kUnits && !cell.unit.empty() && cell.unit != "-";
      const std::string suffix = unit ? " [" + std::string(cell.unit) + "]" : "";
      line += CsvField(key + suffix);
      if (cell.kind == CellKind::kNumber) line += ',' + CsvField(key + "_value" + suffix);
    });
  }
  std::string Record(const Row& row) const override {
    return Line(row, [](std::string& line, const Cell& cell) {
      line += CsvField(cell.text);
      if (cell.kind == CellKind::kNumber) line += ',' + Value(cell);
    });
  }
  const char* Between() const override { return ""; }
  const char* Footer(bool) const override { return ""; }

 private:
  CsvHeader header_;

  // Every cell after the first is preceded by a comma, empty or not, so a
  // record always has as many fields as the header.
  template <typename Each>
  static std::string Line(const Row& row, Each each) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) line += ',';
      each(line, row[i]);
    }
    return line + "\r\n";
  }
};

// ---------------------------------------------------------------- JSON

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t Utf8Length(const std::string& s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  const std::uint8_t lead = byte(at);
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
  if (length == 0 || at + length > s.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  }
  const std::uint8_t second = length > 1 ? byte(at + 1) : 0x80;
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
      (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
    return 0;  // overlong, a surrogate, or beyond U+10FFFF
  }
  return length;
}

// A JSON string: quotes, backslashes and control characters escaped, an
// ill-formed UTF-8 byte replaced by U+FFFD, everything else as it is.
void AppendJsonString(std::string& out, const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const std::size_t length = Utf8Length(text, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (static_cast<std::uint8_t>(c) < 0x20) {
      const auto code = static_cast<std::uint8_t>(c);
      out += "\\u00";
      out += kHex[code >> 4];
      out += kHex[code & 15];
    } else {
      out.append(text, i, length);
    }
    i += length;
  }
  out += '"';
}

class JsonFormat : public RowFormat {
 public:
  std::string Header(const Row&) const override { return "[\n"; }
  std::string Record(const Row& row) const override {
    std::string object = "{";
    for (const Cell& cell : row) {
      if (object.size() > 1) object += ',';
      AppendJsonString(object, std::string(cell.key));
      object += ':';
      switch (cell.kind) {
        case CellKind::kText:
          AppendJsonString(object, cell.text);
          break;
        case CellKind::kCount:
          object += cell.text;
          break;
        case CellKind::kNumber:
          object += "{\"text\":";
          AppendJsonString(object, cell.text);
          object += ",\"value\":" + (cell.value ? Value(cell) : std::string("null")) + '}';
          break;
      }
    }
    return object + '}';
  }
  const char* Between() const override { return ",\n"; }
  const char* Footer(bool anyRecord) const override { return anyRecord ? "\n]\n" : "]\n"; }
};

}  // namespace

const RowFormat& FormatOf(Format format, CsvHeader header) {
  static const TableFormat table;
  static const CsvFormat csvUnits(CsvHeader::kUnits), csvKeys(CsvHeader::kKeys);
  static const JsonFormat json;
  switch (format) {
    case Format::kTable:
      return table;
    case Format::kCsv:
      return header == CsvHeader::kUnits ? csvUnits : csvKeys;
    case Format::kJson:
      break;
  }
  return json;
}

void RowStream::Put(const std::string& text) {
  if (!failed_ && std::fwrite(text.data(), 1, text.size(), out_) != text.size()) failed_ = true;
}

void RowStream::Begin(const Row& shape) {
  if (begun_) return;
  begun_ = true;
  Put(format_.Header(shape));
}

void RowStream::WriteRecord(const std::string& record) {
  if (!begun_) Begin(Row{});
  if (anyRecord_) Put(format_.Between());
  anyRecord_ = true;
  Put(record);
}

bool RowStream::End() {
  if (!begun_) Begin(Row{});
  Put(format_.Footer(anyRecord_));
  return std::fflush(out_) == 0 && !failed_;
}
