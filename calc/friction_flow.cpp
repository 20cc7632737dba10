#include "calc/friction_flow.h"

#include <cmath>

#include "calc/first_step.h"
#include "calc/float_bits.h"
#include "calc/flow_bounds.h"
#include "calc/gas_state.h"

double FrictionFlowTerm(double k, double ma, double mb) {
  const FrictionFlowConstants c = FrictionFlowConstantsOf(k);
  return FrictionFlowPartsOf(c, MachSquareOf(c, ma), MachSquareOf(c, mb)).sum;
}

double ChokingFrictionTerm(double k, double m) {
  return FrictionFlowTerm(k, m, 1.0);
}

double CalcMaxPipeLength(double k, double m1, double diameterIn, double frictionFactor) {
  const double chokingTerm = ChokingFrictionTerm(k, m1);
  return (DiameterFeet(diameterIn) * chokingTerm) / frictionFactor;
}

namespace {

bool MachStopHolds(double fld1, double fld2) {
  return fld1 - fld2 <= kMachTolerance;
}

// The exit Mach number march as a problem for SearchMarch: F(k, M1, M2) rises
// with M2 up to 1.0, so its largest value between two grid points is bounded
// from the samples at the two ends. Everything of the inlet is formed once.
class ExitMachProblem {
 public:
  struct Sample {
    double m2;
    FrictionFlowParts parts;
  };

  ExitMachProblem(double k, double m1, double fld1)
      : constants_(FrictionFlowConstantsOf(k)), inlet_(MachSquareOf(constants_, m1)), fld1_(fld1) {}

  Sample At(double m2) const {
    return {m2, FrictionFlowPartsOf(constants_, inlet_, MachSquareOf(constants_, m2))};
  }
  bool Stops(const Sample& s) const { return MachStopHolds(fld1_, s.parts.sum); }
  double Gap(const Sample& s) const { return (fld1_ - s.parts.sum) - kMachTolerance; }
  static double GapNoise(const Sample& lo, const Sample& hi) {
    return 2 * StretchRounding(lo.parts, hi.parts, MovingMach::kExit);
  }
  static bool Ends(double, double next) { return next > 1.0; }
  static bool EndsAfter(const Sample&, double x, double next) { return Ends(x, next); }
  static double StepsToEnd(const Sample&, double m2) { return (1.0 - m2) / kMachStep; }

  bool NoStopBetween(const Sample& lo, const Sample& hi) const {
    // A NaN factor (k so large that 2k overflows) makes F NaN at every step,
    // where the stop test never holds.
    if (std::isnan(lo.parts.termB)) return true;
    if (!(hi.m2 <= 1.0) || !BoundsHoldAt(lo.parts) || !BoundsHoldAt(hi.parts)) return false;
    // The exact F rises, and the computed one lies within the rounding bound
    // of it plus a constant: F is largest at the far end, give or take twice
    // the bound. Failing that, termA is largest at the far end and the
    // logarithm at the near one.
    const double rounding = StretchRounding(lo.parts, hi.parts, MovingMach::kExit);
    if (RulesOut(NextUp(hi.parts.sum + 2 * rounding))) return true;
    return RulesOut(hi.parts.termA + LogTermAtMost(lo.parts));
  }

 private:
  // No F up to `most` meets the stop (the test falls as F grows).
  bool RulesOut(double most) const { return std::isfinite(most) && !MachStopHolds(fld1_, most); }

  FrictionFlowConstants constants_;
  MachSquare inlet_;
  double fld1_;
};

}  // namespace

// The march's own loop (MarchOn), from M1 on: F(k, M1, M2) at each step, with
// what depends on k and M1 alone formed once, the same bits as
// FrictionFlowTerm.
ExitMachSolution SolveExitMachByMarch(double k, double m1, double fld1) {
  const ExitMachProblem problem(k, m1, fld1);
  const ExitMachProblem::Sample start = problem.At(m1);
  if (problem.Stops(start)) return {false, m1, start.parts.sum, 0, 1, 0, 1};
  const MarchStretch end = MarchOn(problem, kMachStep, 0, m1, start, ~std::uint64_t{0});
  if (end.ended) return {true, end.x, 0.0, end.n, end.n, 0, end.n};
  return {false, end.x, problem.At(end.x).parts.sum, end.n, end.n + 1, 0, end.n + 1};
}

ExitMachSolution SolveExitMach(double k, double m1, double fld1, unsigned threads) {
  const ExitMachProblem problem(k, m1, fld1);
  const auto end = SearchMarch(problem, m1, kMachStep, threads);
  if (!end.stopped) return {true, end.x, 0.0, end.steps, end.work, end.jumps, end.evaluations};
  return {false, end.x, end.sample.parts.sum, end.steps, end.work, end.jumps, end.evaluations};
}
