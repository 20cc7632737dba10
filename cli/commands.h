// The four commands; each returns the exit status.
#pragma once

#include "cli/options.h"

int CalcCommand(const Options& options);
int SweepCommand(const Options& options);
int ProfileCommand(const Options& options);
int ReportCommand(const Options& options);
