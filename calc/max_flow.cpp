#include "calc/max_flow.h"

#include <cmath>

#include "calc/first_step.h"
#include "calc/float_bits.h"
#include "calc/flow_bounds.h"
#include "calc/friction_flow.h"

namespace {

// What the search reads of the run: k, the diameter, and the inlet density,
// sonic velocity and pipe friction parameter of the calculation's own inlet
// state. The diameter is squared once.
struct FlowSearchState {
  double k, d, rho1, cs1, fld1;
  double dSquared;

  FlowSearchState(const RunInputs& in, const InletState& s)
      : k(in.k), d(in.d), rho1(s.rho1), cs1(s.cs1), fld1(s.fld1), dSquared(std::pow(in.d, 2)) {}

  std::array<std::uint64_t, 5> Key() const {
    return {BitsOf(k), BitsOf(d), BitsOf(rho1), BitsOf(cs1), BitsOf(fld1)};
  }
  double MachAt(double flow) const {
    return MachNumber(GasVelocityThroughSquare(flow, rho1, dSquared), cs1);
  }
  bool StopHolds(double chokingTerm) const { return chokingTerm - fld1 <= kFlowTolerance; }
};

// The march ends after a candidate at or above Mach 1 (the choking term rises
// again beyond it) or where 0.1 is lost in the rounding of the running sum
// (the march would stay on that candidate for ever).
bool FlowMarchEnds(double mach, double flow, double next) {
  return next == flow || mach >= 1.0;
}

// The maximum-flow march as a problem for SearchMarch. Below Mach 1 the
// choking term falls as the flow grows, so its least value between two
// subsonic grid points is bounded from the samples at the two ends.
class MaxFlowProblem {
 public:
  struct Sample {
    double mach;
    FrictionFlowParts parts;
  };

  explicit MaxFlowProblem(const FlowSearchState& state)
      : state_(state),
        constants_(FrictionFlowConstantsOf(state.k)),
        sonic_(MachSquareOf(constants_, 1.0)) {}

  Sample At(double flow) const {
    const double mach = state_.MachAt(flow);
    return {mach, FrictionFlowPartsOf(constants_, MachSquareOf(constants_, mach), sonic_)};
  }
  bool Stops(const Sample& s) const { return state_.StopHolds(s.parts.sum); }
  double Gap(const Sample& s) const { return (s.parts.sum - state_.fld1) - kFlowTolerance; }
  static double GapNoise(const Sample& lo, const Sample& hi) {
    return 2 * StretchRounding(lo.parts, hi.parts, MovingMach::kInlet);
  }
  bool Ends(double flow, double next) const {
    return FlowMarchEnds(state_.MachAt(flow), flow, next);
  }
  static bool EndsAfter(const Sample& s, double flow, double next) {
    return FlowMarchEnds(s.mach, flow, next);
  }
  // The Mach number grows in proportion to the flow: Mach 1 at flow / mach.
  static double StepsToEnd(const Sample& s, double flow) {
    return (flow / s.mach - flow) / kFlowStep;
  }

  bool NoStopBetween(const Sample& lo, const Sample& hi) const {
    if (std::isnan(lo.parts.termB)) return true;  // the term is NaN at every candidate
    if (!(hi.mach < 1.0) || !BoundsHoldAt(lo.parts) || !BoundsHoldAt(hi.parts)) return false;
    // The exact term falls, and the computed one lies within the rounding
    // bound of it plus a constant: least at the far end, give or take twice
    // the bound. Failing that, termA is least at the far end and the
    // logarithm at the near one.
    const double rounding = StretchRounding(lo.parts, hi.parts, MovingMach::kInlet);
    if (RulesOut(NextDown(hi.parts.sum - 2 * rounding))) return true;
    return RulesOut(hi.parts.termA + LogTermAtLeast(lo.parts));
  }

 private:
  // No term down to `least` meets the stop (the test holds as the term falls).
  bool RulesOut(double least) const { return std::isfinite(least) && !state_.StopHolds(least); }

  const FlowSearchState& state_;
  FrictionFlowConstants constants_;
  MachSquare sonic_;
};

MaxFlowSearch Search(const FlowSearchState& state, unsigned threads) {
  const double startMach = state.MachAt(kFirstCandidateFlow);
  if (!(startMach < 1.0)) return {MaxFlowSearch::Outcome::ChokedAtStart, 0.0, 0, 0, 0, 0};
  // Inputs the calculation refuses (a temperature at absolute zero, a
  // non-positive roughness) leave nothing to search on.
  if (!(startMach > 0) || !std::isfinite(state.fld1) ||
      !std::isfinite(FrictionFlowTerm(state.k, startMach, 1.0))) {
    return {MaxFlowSearch::Outcome::Unreachable, 0.0, 0, 1, 0, 1};
  }
  const MaxFlowProblem problem(state);
  const auto end = SearchMarch(problem, kFirstCandidateFlow, kFlowStep, threads);
  if (!end.stopped) {
    return {
        MaxFlowSearch::Outcome::Unreachable, 0.0, end.steps, end.work, end.jumps, end.evaluations};
  }
  return {MaxFlowSearch::Outcome::Found, end.x, end.steps, end.work, end.jumps, end.evaluations};
}

}  // namespace

// F(k, Mc, 1) at each candidate, with what depends on k and Mach 1 alone
// formed once: the same bits as ChokingFrictionTerm.
MaxFlowSearch MaxFlowByMarch(const RunInputs& in, const InletState& inlet, std::uint64_t maxSteps) {
  const FlowSearchState state(in, inlet);
  const FrictionFlowConstants c = FrictionFlowConstantsOf(state.k);
  const MachSquare sonic = MachSquareOf(c, 1.0);
  double flow = kFirstCandidateFlow;
  if (!(state.MachAt(flow) < 1.0)) return {MaxFlowSearch::Outcome::ChokedAtStart, 0.0, 0, 0, 0, 0};
  for (std::uint64_t steps = 0; steps <= maxSteps; ++steps) {
    const double term = FrictionFlowPartsOf(c, MachSquareOf(c, state.MachAt(flow)), sonic).sum;
    if (state.StopHolds(term)) {
      return {MaxFlowSearch::Outcome::Found, flow, steps, steps + 1, 0, steps + 1};
    }
    flow = flow + kFlowStep;
  }
  return {MaxFlowSearch::Outcome::Unreachable, 0.0, maxSteps, maxSteps + 1, 0, maxSteps + 1};
}

MaxFlowSearch CalcMaxFlowRate(const RunInputs& in, const InletState& inlet, unsigned threads) {
  return Search(FlowSearchState(in, inlet), threads);
}

MaxFlowSearch MaxFlowMemo::Search(const RunInputs& in, const InletState& inlet, unsigned threads) {
  const FlowSearchState state(in, inlet);
  const auto key = state.Key();
  if (const auto known = found_.find(key); known != found_.end()) return known->second;
  if (found_.size() >= kMaxFlowMemoEntries) found_.clear();
  return found_[key] = ::Search(state, threads);
}
