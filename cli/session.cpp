#include "cli/session.h"

#include <QFile>
#include <cstdio>

#include "calc/calculate.h"
#include "runfile/runfile.h"
#include "ui/locale_symbols.h"

namespace {

// The loader's and the saver's messages go to stderr, prefixed by the file.
class StderrFileHost : public FileHost {
 public:
  explicit StderrFileHost(const QString& path) : path_(path) {}
  void ShowFileError(const std::string& text) override {
    message_ = path_.toStdString() + ": " + text;
  }
  const std::string& Message() const { return message_; }

 private:
  QString path_;
  std::string message_;
};

}  // namespace

Calculated Calculate(RunRecord& run, const NumberSymbols& symbols) {
  return CalculateQuietly(run, symbols);
}

std::string LocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

RunRecord LoadRun(const QString& path, const NumberSymbols& symbols) {
  RunRecord run = DefaultRunRecord(symbols);
  StderrFileHost host(path);
  LoadRunFile(run, LocalPath(path), host);
  if (!host.Message().empty()) throw UsageError(host.Message());
  return run;
}

bool SaveRun(const RunRecord& run, const QString& path) {
  StderrFileHost host(path);
  SaveRunFile(run, LocalPath(path), host);
  if (host.Message().empty()) return true;
  std::fprintf(stderr, "korvoflow-cli: %s\n", host.Message().c_str());
  return false;
}

const CliField& RequireField(const QString& name, const QString& option) {
  const CliField* field = FindField(name.toStdString());
  if (!field) {
    throw UsageError(QString("%1: unknown field \"%2\" (see --help for the keys)")
                         .arg(option, name)
                         .toStdString());
  }
  return *field;
}

std::string TypedText(double value, const NumberSymbols& symbols) {
  return FormatByPattern(value, kInputPattern, symbols);
}

Assignment ParseAssignment(const QString& argument, const NumberSymbols& symbols) {
  const qsizetype equals = argument.indexOf('=');
  if (equals <= 0) throw UsageError("--set " + argument.toStdString() + ": expected KEY=TEXT");
  const CliField& field = RequireField(argument.left(equals), "--set");
  const std::string text = argument.mid(equals + 1).toStdString();
  if (Field(field.ref).isResult) {
    throw UsageError("--set: \"" + DistinctName(field.ref) + "\" is a result and cannot be set");
  }
  if (!HoldsNumber(field.ref)) return {&field, text};
  const auto value = TypedNumber(text, symbols);
  if (!value) {
    throw UsageError("--set: \"" + DistinctName(field.ref) + "\" refuses \"" + text +
                     "\": Please Enter a Numeric Value");
  }
  return {&field, TypedText(*value, symbols)};
}

std::optional<double> TypedNumber(const std::string& typed, const NumberSymbols& symbols) {
  return TextToNumber(WithTypedGrouping(QString::fromStdString(typed), symbols).toStdString(),
                      symbols);
}

void Apply(RunRecord& run, const Assignment& assignment) {
  Text(run, assignment.field->ref) = assignment.text;
}
