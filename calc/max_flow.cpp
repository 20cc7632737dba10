#include "calc/max_flow.h"

#include <cmath>
#include <string>

#include "calc/first_step.h"
#include "calc/friction_flow.h"
#include "calc/input_fields.h"

namespace {

// The inlet state and pipe parameter that do not depend on the candidate flow,
// each formed exactly as the calculation forms it.
struct FlowSearchState {
  double k, d, rho1, c1, c1Pipe;

  explicit FlowSearchState(const RunInputs& in) : k(in.k), d(in.d) {
    const double tr1 = AbsoluteTemperature(in.t1);
    const double dft = DiameterFeet(in.d);
    rho1 = GasDensity(in.p1, in.mw, in.z1, tr1);
    c1 = SonicVelocity(in.k, tr1, in.mw);
    c1Pipe = PipeFrictionParameter(FrictionFactor(RoughnessLog(in.e, dft)), in.l, dft);
  }

  double MachAt(double flow) const { return MachNumber(GasVelocity(flow, rho1, d), c1); }
  bool StopHolds(double chokingTerm) const { return chokingTerm - c1Pipe <= kFlowTolerance; }
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

MaxFlowSearch MaxFlowByMarch(const RunInputs& in, std::uint64_t maxSteps) {
  const FlowSearchState state(in);
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

MaxFlowSearch SearchMaxFlow(const RunInputs& in) {
  const FlowSearchState state(in);
  const double startMach = state.MachAt(kFirstCandidateFlow);
  if (!(startMach < 1.0)) return {MaxFlowSearch::Outcome::ChokedAtStart, 0.0, 0, 0};
  // Inputs the calculation refuses (a temperature at absolute zero, a
  // non-positive roughness) leave nothing to search on.
  if (!(startMach > 0) || !std::isfinite(state.c1Pipe) ||
      !std::isfinite(FrictionFlowTerm(state.k, startMach, 1.0))) {
    return {MaxFlowSearch::Outcome::Unreachable, 0.0, 0, 1};
  }
  const auto end = SearchMarch(MaxFlowProblem(state), kFirstCandidateFlow, kFlowStep);
  if (!end.stopped) return {MaxFlowSearch::Outcome::Unreachable, 0.0, end.steps, end.work};
  return {MaxFlowSearch::Outcome::Found, end.x, end.steps, end.work};
}

double CalcMaxFlowRate(const RunRecord& run, CalcHost& host) {
  const auto read = [&](FieldRef ref) {
    return TextToNumber(Text(run, ref), host.Symbols()).value_or(0.0);
  };
  RunInputs in{};
  in.k = read(kRatioK);
  in.mw = read(kMolWeight);
  in.p1 = read(kPressure1);
  in.t1 = read(kTemperature1);
  in.z1 = read(kZ1);
  in.d = read(kDiameter);
  in.e = read(kRoughness);
  in.l = read(kLength);
  const MaxFlowSearch search = SearchMaxFlow(in);
  switch (search.outcome) {
    case MaxFlowSearch::Outcome::ChokedAtStart:
      host.ShowMessage("Initial Mach Number Should be < 1.0. Couldn't Compute Maximum Pipe Length");
      return 0.0;
    case MaxFlowSearch::Outcome::Unreachable:
      host.ShowMessage(std::string("Max. Flow Rate, lb/hr Could Not be Computed") + kCheckInputs);
      return 0.0;
    case MaxFlowSearch::Outcome::Found:
      break;
  }
  return search.flow;
}
