// The command line: a command, its run files and its options, checked once so
// that the commands never meet a malformed request.
#pragma once

#include <QStringList>
#include <vector>

#include "cli/rows.h"
#include "cli/session.h"
#include "cli/sweep.h"

struct Options {
  QString command;  // calc, sweep, profile, report; empty with --help/--version
  bool help = false;
  bool version = false;
  QStringList files;
  NumberSymbols symbols;
  std::vector<Assignment> sets;
  Format format = Format::Table;
  bool inPlace = false;
  QString saveTo;
  std::vector<SweepAxis> axes;
  QString plot;
  std::vector<const CliField*> plotKeys;
  int stations = 50;
  bool calculate = false;
  QString output;
  unsigned threads = 1;
};

// Throws UsageError for anything the commands cannot carry out.
Options ParseOptions(const QStringList& arguments, const NumberSymbols& localeSymbols);

// The --help text: commands, options, every field key, exit statuses.
QString HelpText();
