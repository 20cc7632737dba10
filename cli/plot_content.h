// What the command line's plots show: a sweep's fields against its first
// varied input, and a profile's pressure and Mach number along the pipe.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/plot.h"

PlotContent SweepPlot(const Options& options, const SweepTotals& totals);

// The stations along the pipe of `run`, the rest of the pipe shaded where
// the profile stopped early.
PlotContent ProfilePlot(const std::vector<Row>& stations, const RunRecord& run,
                        const NumberSymbols& symbols, UnitSystem units);

// Draws the plot into the file at `path`; false after a line on stderr.
bool Plot(const PlotContent& content, const std::string& path);
