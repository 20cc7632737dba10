// The command line: a command, its run files and its options, checked once so
// that the commands never meet a malformed request. One table of options
// (options.cpp) drives the parser, the check of which command takes which
// option, and --help (and so the man page, which help2man makes from it).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/inputs.h"
#include "cli/output.h"
#include "cli/session.h"
#include "cli/sweep.h"
#include "engineering/solve.h"

enum class Command { kCalc, kSweep, kProfile, kReport, kSolve, kGases, kSchedules };

struct Options {
  std::optional<Command> command;  // none with --help or --version
  bool help = false;
  bool version = false;
  std::string completion;  // --completion SHELL: print the shell's completion script
  bool quiet = false;
  std::vector<std::string> files;  // as the file system knows them
  NumberSymbols symbols;
  std::vector<Assignment> sets;
  Preparation inputs;               // --units, --gas and the steps after --set
  std::optional<SolveSetup> solve;  // solve, and sweep --solve
  std::string_view schedule;        // schedules --schedule
  std::vector<std::string> notes;   // said on stderr before the command runs
  Format format = Format::kTable;
  CsvHeader csvHeader = CsvHeader::kUnits;
  bool inPlace = false;
  std::string saveTo;
  std::vector<SweepAxis> axes;
  std::string plot;
  std::vector<FieldRef> plotKeys;
  int stations = 50;
  bool calculate = false;
  std::string output;
  unsigned threads = 1;
};

// Parses argv (the program name first); throws UsageError for anything the
// commands cannot carry out.
Options ParseOptions(const std::vector<std::string>& arguments, const NumberSymbols& localeSymbols);

// The --help text: commands, options, every field key, exit statuses.
std::string HelpText();

// The option table and the commands as a shell's completion needs them.
struct OptionSummary {
  std::string name;
  char shortName;
  std::string value;  // the value's name ("FILE", "KEY=TEXT", "table|csv|json"); empty: a switch
  std::vector<std::string> commands;  // none for the options that need no command
};
std::vector<OptionSummary> OptionSummaries();
std::vector<std::string> CommandNames();

// Whether the command draws with Qt's painting (a plot or a PDF), which needs
// the GUI application rather than the core one.
bool NeedsPainting(const Options& options);
