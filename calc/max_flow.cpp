#include "calc/max_flow.h"

#include <cmath>

#include "calc/first_step.h"
#include "calc/friction_flow.h"

namespace {

// What the search needs of the run: the inlet density, sonic velocity and
// pipe friction parameter, taken from the calculation's own inlet state.
struct FlowSearchState {
  double k, d, rho1, cs1, fld1;

  FlowSearchState(const RunInputs& in, const InletState& s)
      : k(in.k), d(in.d), rho1(s.rho1), cs1(s.cs1), fld1(s.fld1) {}

  double MachAt(double flow) const { return MachNumber(GasVelocity(flow, rho1, d), cs1); }
  bool StopHolds(double chokingTerm) const { return chokingTerm - fld1 <= kFlowTolerance; }
};

// The maximum-flow march as a problem for SearchMarch. Below Mach 1 the
// choking term falls as the flow grows, so its least value between two
// subsonic grid points is bounded from the samples at the two ends. The
// candidates end with the first one at or above Mach 1 (the term rises again
// beyond it) or where 0.1 is lost in the rounding of the running sum (the
// march would stay on that candidate for ever).
class MaxFlowProblem {
 public:
  struct Sample {
    double mach;
    FrictionFlowParts parts;
    double term;
  };

  explicit MaxFlowProblem(const FlowSearchState& state) : state_(state) {}

  Sample At(double flow) const {
    const double mach = state_.MachAt(flow);
    const FrictionFlowParts parts = FrictionFlowPartsOf(state_.k, mach, 1.0);
    return {mach, parts, parts.Sum()};
  }
  bool Stops(const Sample& s) const { return state_.StopHolds(s.term); }
  bool Passed(double flow, double next) const { return next == flow || state_.MachAt(flow) >= 1.0; }

  bool NoStopBetween(const Sample& lo, const Sample& hi) const {
    if (std::isnan(lo.parts.termB)) return true;  // the term is NaN at every candidate
    if (!(hi.mach < 1.0)) return false;
    // termA is least at the far end, the logarithm at the near one; and the
    // computed term lies within the noise of the exact term, which falls.
    double least = std::nextafter(hi.term - 2 * FrictionFlowNoise(state_.k, lo.mach), -INFINITY);
    const double logTerm = LogTermAtLeast(lo.parts);
    if (!std::isnan(logTerm)) {
      const double split = hi.parts.termA + logTerm;
      if (!(split <= least)) least = split;
    }
    return std::isfinite(least) && !state_.StopHolds(least);
  }

 private:
  const FlowSearchState& state_;
};

}  // namespace

MaxFlowSearch MaxFlowByMarch(const RunInputs& in, const InletState& inlet, std::uint64_t maxSteps) {
  const FlowSearchState state(in, inlet);
  double flow = kFirstCandidateFlow;
  if (!(state.MachAt(flow) < 1.0)) return {MaxFlowSearch::Outcome::ChokedAtStart, 0.0, 0, 0};
  for (std::uint64_t steps = 0; steps <= maxSteps; ++steps) {
    if (state.StopHolds(FrictionFlowTerm(state.k, state.MachAt(flow), 1.0))) {
      return {MaxFlowSearch::Outcome::Found, flow, steps, steps + 1};
    }
    flow = flow + kFlowStep;
  }
  return {MaxFlowSearch::Outcome::Unreachable, 0.0, maxSteps, maxSteps + 1};
}

MaxFlowSearch CalcMaxFlowRate(const RunInputs& in, const InletState& inlet) {
  const FlowSearchState state(in, inlet);
  const double startMach = state.MachAt(kFirstCandidateFlow);
  if (!(startMach < 1.0)) return {MaxFlowSearch::Outcome::ChokedAtStart, 0.0, 0, 0};
  // Inputs the calculation refuses (a temperature at absolute zero, a
  // non-positive roughness) leave nothing to search on.
  if (!(startMach > 0) || !std::isfinite(state.fld1) ||
      !std::isfinite(FrictionFlowTerm(state.k, startMach, 1.0))) {
    return {MaxFlowSearch::Outcome::Unreachable, 0.0, 0, 1};
  }
  const auto end = SearchMarch(MaxFlowProblem(state), kFirstCandidateFlow, kFlowStep);
  if (!end.stopped) return {MaxFlowSearch::Outcome::Unreachable, 0.0, end.steps, end.work};
  return {MaxFlowSearch::Outcome::Found, end.x, end.steps, end.work};
}
