// Solving a run for its one free input on the command line: the solve
// command, and the solve of each point of a sizing chart (sweep --solve).
#pragma once

#include <string>

#include "cli/inputs.h"
#include "engineering/solve.h"

// A run solved: the answer's run cells as calc writes them (its "end", its
// fields and the prepared cells) and the solve's own cells: "solved" (the
// key of the free input), "pipe" (with a schedule), "calculates",
// "neighbour" and "neighbour_why" (the grid input beside the answer that
// fails, and why), "limit" and "warning". Without an answer, "end" says why
// and the free input and the results are empty. Numbers in the
// preparation's units.
struct SolvedRun {
  Row cells;
  SolveResult result;     // found false also where an input could not be used
  bool complete = false;  // an answer whose run completed
};

// Solves a run whose --gas and --set texts are applied, preparing every
// candidate (friction factor, vessel inlet, fittings) as a calculated run is.
SolvedRun SolveRun(const RunRecord& run, const SolveSetup& setup, const Preparation& preparation,
                   const NumberSymbols& symbols);

// The cells of SolveRun without values: the shape of a row's header.
Row SolvedShape(const RunRecord& run, const SolveSetup& setup, const Preparation& preparation,
                const NumberSymbols& symbols);

struct Options;
enum class ExitCode : int;

// Prints the answer's run, saves it with --save-to or --output; without an
// answer says why on stderr and ends with status 2.
ExitCode SolveCommand(const Options& options, const RunRecord& run, const std::string& file);
