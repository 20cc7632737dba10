// What every command shares: loading a run with the window's loader, saving
// it with the window's safe save, and typing texts into its inputs.
#pragma once

#include <string>

#include "calc/calculate.h"
#include "cli/diagnostics.h"

// The default run, then the file's texts over it. A file that the loader
// refuses is an unreadable input (UsageError).
RunRecord LoadRun(const std::string& path, const NumberSymbols& symbols);

// Saves the run with the window's safe save; false after a line on stderr.
bool SaveRun(const RunRecord& run, const std::string& path);

// Writes bytes to an output file (a report, a plot) with the run files' safe
// save: whole or not at all, and a file's links, owner and mode kept; false
// after a line on stderr.
bool WriteOutputFile(const std::string& path, std::string_view bytes);

// Whether a path ends with the extension (".pdf"), in any letter case.
bool HasExtension(const std::string& path, std::string_view extension);

// An input field set from the command line as if typed into its box: a number
// must pass the window's numeric test and is kept exactly as given (the
// window would round it to six decimals; a loaded run keeps every digit);
// the free texts are taken as they are.
struct Assignment {
  FieldRef field;
  std::string text;
};
// Parses "KEY=TEXT"; an unknown key, a result field or a refused number is a
// usage error naming the field.
Assignment ParseAssignment(const std::string& argument, const NumberSymbols& symbols);
void Apply(RunRecord& run, const Assignment& assignment);

// The field a key or caption names, for the option `option`; an unknown or
// ambiguous name is a usage error.
FieldRef RequireField(const std::string& name, const std::string& option);
