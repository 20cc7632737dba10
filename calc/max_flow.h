// The flow rate at which the run's pipe would just choke.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "calc/gas_state.h"

// The search starts at 100 lb/hr and adds the double nearest 0.1 each step.
inline constexpr double kFirstCandidateFlow = 100.0;
inline constexpr double kFlowStep = 0.1;
// It stops once the choking term F(k, Mc, 1) is within this of the pipe's C1.
inline constexpr double kFlowTolerance = 0.0001;

struct MaxFlowSearch {
  enum class Outcome { Found, ChokedAtStart, Unreachable } outcome;
  double flow;                // lb/hr: the running sum at the stop; 0 unless Found
  std::uint64_t steps;        // additions of 0.1 made to reach `flow`
  std::uint64_t work;         // cost in march steps (calc/first_step.h)
  std::uint64_t jumps;        // jumps tried by the search (none by the march)
  std::uint64_t evaluations;  // of the choking term (the march: one per step)
};

// First running sum Wc = 100 (+ 0.1)* with F(k, Mc(Wc), 1) - C1 <= 1e-4,
// found up to the first candidate at Mc >= 1 without walking the grid; equal
// to MaxFlowByMarch. Mc comes from the inlet state's density and sonic
// velocity, C1 is its friction parameter; of the inputs only k and D are
// read (the run's own flow rate is not used). Stretches no bound can settle
// are walked on up to `threads` threads (1: on the caller's alone).
// ChokedAtStart: the inlet Mach number at 100 lb/hr is not below 1.0.
// Unreachable: the running sum stops growing (0.1 lost in its rounding) before
// the stop is met, where the plain march would never end.
MaxFlowSearch CalcMaxFlowRate(const RunInputs& in, const InletState& inlet, unsigned threads = 1);

// The plain march, for tests and benchmarks. `maxSteps` bounds it: the result
// is Unreachable when the stop is not met within that many additions.
MaxFlowSearch MaxFlowByMarch(const RunInputs& in, const InletState& inlet, std::uint64_t maxSteps);

// The searches of a sweep, remembered by the exact bits of what the search
// reads (k, D, rho1, cs1 and C1): a sweep over the flow or the exit
// compressibility changes none of them and searches once. One memo serves
// one thread; it holds up to kMaxFlowMemoEntries searches (a grid's other
// axis of that many values) and starts afresh when full.
inline constexpr std::size_t kMaxFlowMemoEntries = 4096;

class MaxFlowMemo {
 public:
  // CalcMaxFlowRate(in, inlet, threads), or its remembered result.
  MaxFlowSearch Search(const RunInputs& in, const InletState& inlet, unsigned threads = 1);

 private:
  std::map<std::array<std::uint64_t, 5>, MaxFlowSearch> found_;
};
