#include "cli/rows.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/fields.h"

namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

template <typename Each>
std::string CsvLine(const Row& row, Each each) {
  std::string line;
  for (const Cell& cell : row) {
    if (!line.empty()) line += ',';
    line += each(cell);
  }
  return line + "\r\n";
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

Cell TextCell(std::string key, std::string text) {
  return Cell{std::move(key), std::move(text), false, std::nullopt};
}

std::optional<double> NumberValue(const std::string& text, const NumberSymbols& symbols,
                                  std::optional<double> computed) {
  return computed ? computed : TextToNumber(text, symbols);
}

Cell NumberCell(std::string key, std::string text, const NumberSymbols& symbols,
                std::optional<double> computed) {
  auto value = NumberValue(text, symbols, computed);
  return Cell{std::move(key), std::move(text), true, value};
}

Cell CountCell(std::string key, long long count) {
  return Cell{std::move(key), std::to_string(count), false, static_cast<double>(count), true};
}

void AppendRun(Row& row, const RunRecord& run, const std::string& end, const NumberSymbols& symbols,
               const ResultValues& computed) {
  row.push_back(TextCell("end", end));
  for (const CliField& field : CliFields()) {
    std::string key(field.key);
    const std::string& text = Text(run, field.ref);
    row.push_back(HoldsNumber(field.ref)
                      ? NumberCell(std::move(key), text, symbols, computed.Of(field.ref))
                      : TextCell(std::move(key), text));
  }
}

std::string CsvHeader(const Row& row) {
  return CsvLine(row, [](const Cell& cell) {
    return cell.numeric ? CsvField(cell.key) + ',' + CsvField(cell.key + "_value")
                        : CsvField(cell.key);
  });
}

std::string CsvRecord(const Row& row) {
  return CsvLine(row, [](const Cell& cell) {
    if (!cell.numeric) return CsvField(cell.text);
    return CsvField(cell.text) + ',' + (cell.value ? ShortestText(*cell.value) : std::string());
  });
}

std::string JsonObject(const Row& row) {
  QJsonObject object;
  for (const Cell& cell : row) {
    if (cell.count) {
      object.insert(Q(cell.key), *cell.value);
    } else if (!cell.numeric) {
      object.insert(Q(cell.key), Q(cell.text));
    } else {
      const QJsonValue value = cell.value ? QJsonValue(*cell.value) : QJsonValue(QJsonValue::Null);
      object.insert(Q(cell.key), QJsonObject{{"text", Q(cell.text)}, {"value", value}});
    }
  }
  return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::string RunEnd(const CalcOutcome& outcome, const NumberSymbols& symbols) {
  return outcome.Complete() ? "complete" : OutcomeMessage(outcome, symbols);
}
