// The Calculate command's procedure: reads the run's inputs, computes the inlet
// state, friction factor, exit state, losses, stagnation state, check values and
// both limiting values, and writes every result back as text.
//
// Data flow: RunRecord texts -> TextToNumber -> formulas -> FormatByPattern ->
// RunRecord texts, with CalcHost for the busy indication, repaints and messages.
#pragma once

#include "calc/calc_host.h"
#include "calc/friction_flow.h"
#include "calc/max_flow.h"
#include "calc/run_record.h"

// The message of a run whose exit Mach number would pass 1.0: the pipe chokes
// before its end.
inline constexpr char kExitMachPassesOne[] = "Exit Mach Number Should be <= 1.0. Invalid Results!";

// Ends in one of four ways: complete (23 results); the inlet Mach number is not
// below 1.0; the exit Mach number would pass 1.0; an input cannot be used. Each
// failure shows one message; results written before it stay. BeginBusy/EndBusy
// bracket the whole run on every path.
void CalculateRun(RunRecord& run, CalcHost& host);
