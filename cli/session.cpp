#include "cli/session.h"

#include <algorithm>

#include "runfile/replace_file.h"
#include "runfile/runfile.h"

namespace {

// The run files' single message, kept for the line on stderr.
class KeptFileError : public FileHost {
 public:
  void ShowFileError(const std::string& text) override { message_ = text; }
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

}  // namespace

RunRecord LoadRun(const std::string& path, const NumberSymbols& symbols) {
  RunRecord run = DefaultRunRecord(symbols);
  KeptFileError error;
  LoadRunFile(run, path, error);
  if (!error.Message().empty()) throw UsageError(path + ": " + error.Message());
  return run;
}

bool SaveRun(const RunRecord& run, const std::string& path) {
  KeptFileError error;
  SaveRunFile(run, path, error);
  if (error.Message().empty()) return true;
  Diagnose(path, error.Message());
  return false;
}

bool WriteOutputFile(const std::string& path, std::string_view bytes) {
  if (ReplaceFile(path, bytes)) return true;
  Diagnose(path, "could not be written");
  return false;
}

bool HasExtension(const std::string& path, std::string_view extension) {
  if (path.size() < extension.size()) return false;
  const std::string_view end = std::string_view(path).substr(path.size() - extension.size());
  return std::equal(end.begin(), end.end(), extension.begin(), extension.end(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
  });
}

FieldRef RequireField(const std::string& name, const std::string& option) {
  const std::vector<const FieldInfo*> fields = FieldsNamed(name);
  if (fields.size() == 1) return fields.front()->ref;
  if (fields.empty()) {
    throw UsageError(option + ": unknown field \"" + name + "\" (see --help for the keys)");
  }
  std::string keys;
  for (const FieldInfo* field : fields)
    keys += (keys.empty() ? "" : " or ") + std::string(field->key);
  throw UsageError(option + ": \"" + name + "\" is ambiguous: " + keys);
}

Assignment ParseAssignment(const std::string& argument, const NumberSymbols& symbols) {
  const std::size_t equals = argument.find('=');
  if (equals == 0 || equals == std::string::npos) {
    throw UsageError("--set " + argument + ": expected KEY=TEXT");
  }
  const FieldRef field = RequireField(argument.substr(0, equals), "--set");
  const std::string text = argument.substr(equals + 1);
  if (Field(field).isResult) {
    throw UsageError("--set: \"" + DistinctName(field) + "\" is a result and cannot be set");
  }
  if (!HoldsNumber(field)) return {field, text};
  const auto value = TypedNumber(text, symbols);
  if (!value) {
    throw UsageError("--set: \"" + DistinctName(field) + "\" refuses \"" + text +
                     "\": Please Enter a Numeric Value");
  }
  // Kept as given: the run file holds any number and a load never rounds it.
  return {field, IsNumericText(text, symbols) ? text : ShortestText(*value, symbols)};
}

void Apply(RunRecord& run, const Assignment& assignment) {
  Text(run, assignment.field) = assignment.text;
}
