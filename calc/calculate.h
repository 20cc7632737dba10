// The Calculate command's procedure: reads the run's inputs, computes the inlet
// state, friction factor, exit state, losses, stagnation state, check values and
// both limiting values, and writes every result back as text.
//
// Data flow: RunRecord texts -> TextToNumber -> formulas -> FormatByPattern ->
// RunRecord texts, with CalcHost for the busy indication, repaints and messages.
#pragma once

#include "calc/calc_host.h"
#include "calc/calc_outcome.h"
#include "calc/friction_flow.h"
#include "calc/max_flow.h"
#include "calc/quiet_host.h"
#include "calc/run_record.h"

// Returns how the run ended (calc/calc_outcome.h): complete (23 results); an
// input it cannot use; the inlet Mach number not below 1.0; the exit Mach
// number passing 1.0; a result that cannot be computed; or all results written
// but the maximum flow not found (its box holds 0.0). A run that does not
// complete shows its one message (OutcomeMessage) through the host when it
// stops; results written before it stay. BeginBusy/EndBusy bracket the whole
// run on every path.
CalcOutcome CalculateRun(RunRecord& run, CalcHost& host);

struct Calculated {
  CalcOutcome outcome;
  ResultValues values;
};

// Calculates the run as the Calculate command does, on a QuietHost (with the
// memo of the calling thread's earlier maximum-flow searches, where given).
Calculated CalculateQuietly(RunRecord& run, const NumberSymbols& symbols,
                            MaxFlowMemo* memo = nullptr);
