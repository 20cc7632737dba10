#include "calc/max_flow.h"

#include <cmath>

#include "calc/first_step.h"
#include "calc/friction_flow.h"
#include "calc/running_sum.h"

namespace {

// The inlet state and pipe parameter that do not depend on the candidate flow,
// each formed exactly as the calculation forms it.
struct FlowSearchState {
  double k, rho1, d2, c1, c1Pipe;

  explicit FlowSearchState(const MaxFlowInputs& in) : k(in.k) {
    const double tr1 = in.t1 + 459.67;
    const double dft = in.d / 12;
    rho1 = ((in.p1 * 144) * in.mw) / ((in.z1 * 1544) * tr1);
    d2 = std::pow(in.d, 2);
    c1 = std::pow((((in.k * 32.17) * tr1) * 1544) / in.mw, 0.5);
    const double q = std::log((in.e / 3.7) / dft) / std::log(10);
    const double f = 0.25 / std::pow(q, 2);
    c1Pipe = (in.l * f) / dft;
  }

  double MachAt(double flow) const {
    const double velocity = ((flow / rho1) * 0.0509) / d2;
    return velocity / c1;
  }
  double ChokingTermAt(double flow) const { return FrictionFlowTerm(k, MachAt(flow), 1.0); }
  bool StopHolds(double chokingTerm) const { return chokingTerm - c1Pipe <= kFlowTolerance; }
};

double FlowAt(std::uint64_t n) {
  return RunningSum(kFirstCandidateFlow, kFlowStep, n);
}

}  // namespace

MaxFlowSearch MaxFlowByMarch(const MaxFlowInputs& in, std::uint64_t maxSteps) {
  const FlowSearchState state(in);
  double flow = kFirstCandidateFlow;
  if (!(state.MachAt(flow) < 1.0)) return {MaxFlowSearch::Outcome::ChokedAtStart, 0.0, 0};
  for (std::uint64_t steps = 0; steps <= maxSteps; ++steps) {
    if (state.StopHolds(state.ChokingTermAt(flow))) {
      return {MaxFlowSearch::Outcome::Found, flow, steps};
    }
    flow = flow + kFlowStep;
  }
  return {MaxFlowSearch::Outcome::Unreachable, 0.0, maxSteps};
}

MaxFlowSearch SearchMaxFlow(const MaxFlowInputs& in) {
  const FlowSearchState state(in);
  const double startMach = state.MachAt(kFirstCandidateFlow);
  if (!(startMach < 1.0)) return {MaxFlowSearch::Outcome::ChokedAtStart, 0.0, 0};
  // Inputs the calculation refuses (a temperature at absolute zero, a
  // non-positive roughness) leave nothing to search on.
  if (!(startMach > 0) || !std::isfinite(state.c1Pipe) ||
      !std::isfinite(FrictionFlowTerm(state.k, startMach, 1.0))) {
    return {MaxFlowSearch::Outcome::Unreachable, 0.0, 0};
  }

  // Below Mach 1 the choking term falls as the flow grows; beyond it the term
  // rises again, so the search is confined to the steps up to the first
  // candidate at or above Mach 1, where the term is as good as zero.
  const auto sonic = FirstRunningSumReaching(
      kFirstCandidateFlow, kFlowStep, [&](double flow) { return state.MachAt(flow) >= 1.0; });
  // Where the running sum stops growing below Mach 1 (0.1 lost in its
  // rounding), the march would stay on that candidate for ever: the search
  // covers the candidates up to it and reports the stop unreachable beyond.
  const auto last =
      sonic ? sonic : FirstRunningSumReaching(kFirstCandidateFlow, kFlowStep, [](double flow) {
        return flow + kFlowStep == flow;
      });
  const std::uint64_t end = last.value_or(0) + 1;
  const std::uint64_t steps = FirstStopStep(end, [&](std::uint64_t n) {
    const double mach = state.MachAt(FlowAt(n));
    const double term = FrictionFlowTerm(state.k, mach, 1.0);
    return StopSample{-term, FrictionFlowNoise(state.k, mach), state.StopHolds(term)};
  });
  if (steps == end) return {MaxFlowSearch::Outcome::Unreachable, 0.0, steps};
  return {MaxFlowSearch::Outcome::Found, FlowAt(steps), steps};
}
