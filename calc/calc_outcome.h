// How a calculation ended, as a value: what stopped it and the field it
// concerns. One function words it, so every front end shows the same message
// and no caller ever has to read a message to learn what happened.
#pragma once

#include <string>

#include "calc/run_record.h"
#include "numtext/numtext.h"

enum class CalcEnd {
  kComplete,                  // all 23 results written
  kNotNumeric,                // an input's text is not a number
  kNotAboveOne,               // k is not above 1
  kNotPositive,               // an input that must be above zero is not
  kNotAboveAbsoluteZero,      // T1 is at or below -459.67 F
  kNegative,                  // the length is below zero
  kRoughnessAtDiameterLimit,  // e = 3.7 D: the rough-pipe law is undefined there
  kInletMachNotBelowOne,      // M1 >= 1: the inlet is not subsonic
  kInletMachTooSmall,         // M1 so small that F(k, M1, 1) overflows
  kExitMachPassesOne,         // the pipe chokes before its end
  kNotComputed,               // a result overflowed or is undefined
  kMaxFlowChokedAtStart,      // Mach 1 already at the first flow candidate
  kMaxFlowUnreachable,        // the maximum-flow search cannot end
};

struct CalcOutcome {
  CalcEnd end = CalcEnd::kComplete;
  FieldRef field{BoxArray::General, 0};  // the field concerned; none for kComplete

  bool Complete() const { return end == CalcEnd::kComplete; }
  // Every result was written: complete, or only the maximum flow could not be
  // found (its box then holds 0.0).
  bool AllResultsWritten() const;
  bool operator==(const CalcOutcome& o) const { return end == o.end && field == o.field; }
  bool operator!=(const CalcOutcome& o) const { return !(*this == o); }
};

// The message the window shows for an outcome (empty for kComplete), with a
// number in it written in the user's decimal symbol.
std::string OutcomeMessage(const CalcOutcome& outcome, const NumberSymbols& symbols);

// How a run ended, in one text for every front end that lists runs: "complete",
// or its message.
std::string RunEnd(const CalcOutcome& outcome, const NumberSymbols& symbols);
