#include "cli/session.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sstream>

#include "runfile/replace_file.h"
#include "runfile/runfile.h"

namespace {

bool quiet = false;

// Standard input, read whole up to the load's own limit, then as a file.
LoadResult LoadStandardInput(RunRecord& run) {
  std::string bytes(kMaxRunFileBytes + 1, '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const std::size_t n = std::fread(bytes.data() + got, 1, bytes.size() - got, stdin);
    if (n == 0) break;
    got += n;
  }
  if (std::ferror(stdin)) return {LoadFault::kReadError, 0, errno};
  bytes.resize(got);
  if (bytes.empty()) return {LoadFault::kEmptyFile, 0, 0};
  std::stringbuf in(bytes);
  LoadResult result = ReadRunFile(in, run);
  if (result && got > kMaxRunFileBytes) return {LoadFault::kTooLarge, 0, 0};
  return result;
}

}  // namespace

RunRecord LoadRun(const std::string& path, const NumberSymbols& symbols) {
  RunRecord run = DefaultRunRecord(symbols);
  const LoadResult loaded =
      path == kStandardInput ? LoadStandardInput(run) : LoadRunFile(run, path);
  if (!loaded) {
    const std::string where = path == kStandardInput ? "standard input" : path;
    throw UsageError(where + ": " + LoadFailureText(loaded));
  }
  return run;
}

bool SaveRun(const RunRecord& run, const std::string& path) {
  const EncodedRun file = EncodeRunFile(run);
  if (!file.error.empty()) {
    Diagnose(path, file.error);
    return false;
  }
  return WriteOutputFile(path, file.bytes);
}

bool WriteOutputFile(const std::string& path, std::string_view bytes) {
  const WriteResult written = ReplaceFile(path, bytes);
  if (!written) Diagnose(path, WriteFailureText(written));
  return static_cast<bool>(written);
}

void SetQuiet(bool on) {
  quiet = on;
}

bool Quiet() {
  return quiet;
}

void Note(std::string_view where, std::string_view message) {
  if (!quiet) Diagnose(where, message);
}

void NoteAmbiguousNumbers(const std::string& file, const RunRecord& run,
                          const NumberSymbols& symbols) {
  const NumberSymbols other{FallbackGrouping(symbols.decimal), symbols.decimal};
  for (const FieldInfo& field : FieldTable()) {
    if (!IsNumericInput(field.ref)) continue;
    const std::string& text = Text(run, field.ref);
    const auto chosen = TextToNumber(text, symbols);
    const auto otherwise = TextToNumber(text, other);
    if (!chosen || !otherwise || *chosen == *otherwise || !HasMisplacedGrouping(text, symbols)) {
      continue;
    }
    Note(file, DistinctName(field.ref) + ": \"" + text + "\" reads as " + ShortestText(*chosen) +
                   " with \"" + symbols.decimal + "\" as the decimal symbol (" +
                   ShortestText(*otherwise) + " with \"" + other.decimal +
                   "\"); it is calculated as " + ShortestText(*chosen));
  }
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
