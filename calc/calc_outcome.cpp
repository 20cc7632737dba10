#include "calc/calc_outcome.h"

namespace {

// The close of every message about an input the calculation cannot use.
constexpr char kCheckInputs[] = ". Please Check the Inputs";

std::string WithDecimalSymbol(const char* text, const NumberSymbols& symbols) {
  std::string out;
  for (const char* c = text; *c; ++c) out += *c == '.' ? symbols.decimal : std::string(1, *c);
  return out;
}

std::string RuleMessage(FieldRef field, const std::string& rule) {
  return std::string(Caption(field)) + " Should be " + rule + kCheckInputs;
}

}  // namespace

bool CalcOutcome::AllResultsWritten() const {
  return end == CalcEnd::kComplete || end == CalcEnd::kMaxFlowChokedAtStart ||
         end == CalcEnd::kMaxFlowUnreachable;
}

std::string OutcomeMessage(const CalcOutcome& outcome, const NumberSymbols& symbols) {
  const FieldRef field = outcome.field;
  switch (outcome.end) {
    case CalcEnd::kComplete:
      return {};
    case CalcEnd::kNotNumeric:
      return std::string(Caption(field)) + " Is Not a Numeric Value" + kCheckInputs;
    case CalcEnd::kNotAboveOne:
      return RuleMessage(field, "> 1");
    case CalcEnd::kNotPositive:
      return RuleMessage(field, "> 0");
    case CalcEnd::kNotAboveAbsoluteZero:
      return RuleMessage(field, WithDecimalSymbol("> -459.67", symbols));
    case CalcEnd::kNegative:
      return RuleMessage(field, ">= 0");
    case CalcEnd::kRoughnessAtDiameterLimit:
      return RuleMessage(field,
                         WithDecimalSymbol("Other Than 3.7 Times the Diameter in ft", symbols));
    case CalcEnd::kInletMachNotBelowOne:
      return std::string("Initial Mach Number Should be < 1.0") + kCheckInputs;
    case CalcEnd::kInletMachTooSmall:
      return std::string("Initial Mach Number Is Too Small") + kCheckInputs;
    case CalcEnd::kExitMachPassesOne:
      return "Exit Mach Number Should be <= 1.0. Invalid Results!";
    case CalcEnd::kNotComputed:
      return DistinctName(field) + " Could Not be Computed" + kCheckInputs;
    case CalcEnd::kMaxFlowChokedAtStart:
      return "Initial Mach Number Should be < 1.0. Couldn't Compute Maximum Pipe Length";
    case CalcEnd::kMaxFlowUnreachable:
      return std::string(Caption(field)) + " Could Not be Computed" + kCheckInputs;
  }
  return {};
}

std::string RunEnd(const CalcOutcome& outcome, const NumberSymbols& symbols) {
  return outcome.Complete() ? "complete" : OutcomeMessage(outcome, symbols);
}
