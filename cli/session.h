// What every command shares: loading a run with the window's loader, saving
// it with the window's safe save, writing other outputs just as safely, and
// typing texts into a run's inputs.
#pragma once

#include <string>

#include "calc/calculate.h"
#include "cli/diagnostics.h"

// The run file name that stands for standard input.
inline constexpr char kStandardInput[] = "-";

// The default run, then the file's texts over it ("-": standard input). A
// file that the loader refuses is an unreadable input (UsageError saying
// why: "no such file", "ends early at item 12", ...).
RunRecord LoadRun(const std::string& path, const NumberSymbols& symbols);

// Saves the run with the window's safe save; false after a line on stderr
// saying why.
bool SaveRun(const RunRecord& run, const std::string& path);

// Writes bytes to an output file (a report, a plot, a completion script)
// with the run files' safe save: whole or not at all where the file can be
// replaced, written in place where replacing it would change what it is
// (links, owner, mode, a FIFO or device); false after a line on stderr.
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

// Notes on stderr that a user may want but a script need not: silenced by
// --quiet. Errors are never silenced.
void SetQuiet(bool quiet);
bool Quiet();
void Note(std::string_view where, std::string_view message);
inline void Note(std::string_view message) {
  Note({}, message);
}

// Notes on the numeric inputs of a loaded run that the chosen symbols read
// otherwise than the other decimal symbol would, where the chosen reading
// puts a grouping symbol where no group can stand ("18.02" read with "," as
// the decimal symbol is 1802). The calculation still reads them the chosen
// way, as the window does.
void NoteAmbiguousNumbers(const std::string& file, const RunRecord& run,
                          const NumberSymbols& symbols);
