// The calculation without a window, for every front end that is not one (the
// command line, the solver, scripts): no busy indication, no repaints, no
// message boxes (the outcome says how a run ended), and the full-precision
// value of every result kept beside its rounded text.
#pragma once

#include <array>
#include <optional>

#include "calc/calc_host.h"
#include "calc/calc_outcome.h"

// The values a calculation computed for the results it wrote, before their
// texts rounded them for display. A result without one (read from a file, or
// not reached) is worth only its text.
class ResultValues {
 public:
  void Set(FieldRef ref, double value) { values_.at(FieldIndex(ref)) = value; }
  std::optional<double> Of(FieldRef ref) const { return values_.at(FieldIndex(ref)); }

 private:
  std::array<std::optional<double>, kFieldCount> values_;
};

// A field's number as every front end gives it: the value the calculation
// computed, where it computed one; else the field's text read as a number (an
// input's text is its value; a result loaded from a file is worth its text).
// None for a free text, an empty result or a text that is not a number.
inline std::optional<double> FieldValue(const RunRecord& run, FieldRef ref,
                                        const ResultValues& values, const NumberSymbols& symbols) {
  if (const std::optional<double> computed = values.Of(ref)) return computed;
  if (!HoldsNumber(ref)) return std::nullopt;
  return TextToNumber(Text(run, ref), symbols);
}

// A memo, where given, keeps the maximum-flow searches for the next runs of
// the same thread (calc/max_flow.h).
class QuietHost : public CalcHost {
 public:
  explicit QuietHost(const NumberSymbols& symbols, MaxFlowMemo* memo = nullptr)
      : symbols_(symbols), memo_(memo) {}
  void BeginBusy() override {}
  void EndBusy() override {}
  void Repaint() override {}
  void ShowMessage(const std::string&) override {}
  const NumberSymbols& Symbols() const override { return symbols_; }
  void ResultValue(FieldRef ref, double value) override { values_.Set(ref, value); }
  MaxFlowMemo* MaxFlowMemory() override { return memo_; }
  const ResultValues& Values() const { return values_; }

 private:
  const NumberSymbols& symbols_;
  MaxFlowMemo* memo_;
  ResultValues values_;
};
