// The commands; each returns how the program ends.
#pragma once

#include "cli/options.h"

ExitCode CalcCommand(const Options& options);
ExitCode SweepCommand(const Options& options);
ExitCode ProfileCommand(const Options& options);
ExitCode ReportCommand(const Options& options);

ExitCode RunCommand(const Options& options);
