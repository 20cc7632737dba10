#include "calc/friction_flow.h"

#include <cmath>

#include "calc/first_step.h"
#include "calc/running_sum.h"

double FrictionFlowTerm(double k, double ma, double mb) {
  const double a = 1 / std::pow(ma, 2);
  const double termA = (a - 1 / std::pow(mb, 2)) * (1 / k);
  const double termB = (k + 1) / (k + k);
  const double machRatioSquared = std::pow(ma / mb, 2);
  const double exitBracket = std::pow(mb, 2) * (k - 1) + 2;
  const double inletBracket = std::pow(ma, 2) * (k - 1) + 2;
  const double ratio = (machRatioSquared * exitBracket) / inletBracket;
  return termA + termB * std::log(ratio);
}

double ChokingFrictionTerm(double k, double m) {
  return FrictionFlowTerm(k, m, 1.0);
}

double CalcMaxPipeLength(double k, double m1, double diameterIn, double frictionFactor) {
  const double chokingTerm = ChokingFrictionTerm(k, m1);
  return ((diameterIn / 12) * chokingTerm) / frictionFactor;
}

namespace {

bool MachStopHolds(double c1, double c2) {
  return c1 - c2 <= kMachTolerance;
}

}  // namespace

ExitMachSolution SolveExitMachByMarch(double k, double m1, double c1) {
  double m2 = m1;
  double c2 = FrictionFlowTerm(k, m1, m2);
  std::uint64_t steps = 0;
  while (!MachStopHolds(c1, c2)) {
    m2 = m2 + kMachStep;
    ++steps;
    if (m2 > 1.0) return {true, m2, 0.0, steps};
    c2 = FrictionFlowTerm(k, m1, m2);
  }
  return {false, m2, c2, steps};
}

ExitMachSolution SolveExitMach(double k, double m1, double c1) {
  // The grid points M1 (+ 1e-7)* at or below 1.0 are those before `passOne`;
  // F rises with the exit Mach number there, so the stop is a first crossing.
  const auto passOne = FirstRunningSumReaching(m1, kMachStep, [](double m) { return m > 1.0; });
  const std::uint64_t end = passOne.value_or(0);
  const double noise = FrictionFlowNoise(k, m1);
  const std::uint64_t steps = FirstStopStep(end, [&](std::uint64_t n) {
    const double c2 = FrictionFlowTerm(k, m1, RunningSum(m1, kMachStep, n));
    return StopSample{c2, noise, MachStopHolds(c1, c2)};
  });
  const double m2 = RunningSum(m1, kMachStep, steps);
  if (steps == end) return {true, m2, 0.0, steps};
  return {false, m2, FrictionFlowTerm(k, m1, m2), steps};
}
