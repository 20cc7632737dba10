// What every command shares: usage errors, the quiet calculation host, loading
// a run with the window's loader and typing texts into its inputs.
#pragma once

#include <QString>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/calculate.h"
#include "calc/run_record.h"
#include "cli/fields.h"
#include "cli/rows.h"

// Bad usage or an input that cannot be read: the program stops with status 2
// and this one line.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Exit statuses of the program.
inline constexpr int kAllComplete = 0;
inline constexpr int kSomeEndedWithMessage = 1;
inline constexpr int kBadUsage = 2;

// Calculates the run as the Calculate command does.
Calculated Calculate(RunRecord& run, const NumberSymbols& symbols);

// The default run, then the file's texts over it. A file that the loader
// refuses is an unreadable input.
RunRecord LoadRun(const QString& path, const NumberSymbols& symbols);

// Saves the run with the window's safe save; false after a message on stderr.
bool SaveRun(const RunRecord& run, const QString& path);

// An input field set from the command line as if typed into its box: a number
// must pass the window's numeric test and is rewritten as the window rewrites
// a typed entry; the free texts are taken as they are.
struct Assignment {
  const CliField* field;
  std::string text;
};
// Parses "KEY=TEXT"; an unknown key, a result field or a refused number is a
// usage error naming the field.
Assignment ParseAssignment(const QString& argument, const NumberSymbols& symbols);
void Apply(RunRecord& run, const Assignment& assignment);

// The number a user means by a typed text, read as the window reads a box: a
// blank typed where the locale groups with a no-break space counts as one.
std::optional<double> TypedNumber(const std::string& typed, const NumberSymbols& symbols);

// The text the window leaves in an input box after the user typed `value`.
std::string TypedText(double value, const NumberSymbols& symbols);

// A key or caption for the option `option`; an unknown one is a usage error.
const CliField& RequireField(const QString& name, const QString& option);

// The file-system bytes of a path, as the run files take it.
std::string LocalPath(const QString& path);
