#include "calc/friction_flow.h"

#include <cmath>

#include "calc/first_step.h"
#include "calc/gas_state.h"

namespace {

// The computed ratio of the logarithm is within about eight roundings of the
// exact one (the squares through the power function at under 0.52 ulp each,
// the products, quotient and sum at half an ulp), so two computed ratios
// compare like their exact values to within 17 units of 2^-53; this allows
// for 32.
constexpr double kRatioRounding = 0x1p-48;
// Below this the squares may be subnormal and lose their relative precision.
constexpr double kSmallestBoundedSquare = 0x1p-900;

double LogTermBound(const FrictionFlowParts& p, double factor, double away) {
  if (!(p.machRatioSquared >= kSmallestBoundedSquare) || !(p.termB > 0) ||
      !std::isfinite(p.ratio) || !(p.ratio > 0)) {
    return NAN;
  }
  // Two ulps more for a logarithm that is not exactly monotone.
  const double term = p.termB * std::log(p.ratio * factor);
  return std::nextafter(std::nextafter(term, away), away);
}

}  // namespace

FrictionFlowParts FrictionFlowPartsOf(double k, double ma, double mb) {
  const double a = 1 / std::pow(ma, 2);
  const double termA = (a - 1 / std::pow(mb, 2)) * (1 / k);
  const double termB = (k + 1) / (k + k);
  const double machRatioSquared = std::pow(ma / mb, 2);
  const double exitBracket = std::pow(mb, 2) * (k - 1) + 2;
  const double inletBracket = std::pow(ma, 2) * (k - 1) + 2;
  const double ratio = (machRatioSquared * exitBracket) / inletBracket;
  return {termA, termB, machRatioSquared, ratio};
}

double FrictionFlowParts::Sum() const {
  return termA + termB * std::log(ratio);
}

double FrictionFlowTerm(double k, double ma, double mb) {
  return FrictionFlowPartsOf(k, ma, mb).Sum();
}

double ChokingFrictionTerm(double k, double m) {
  return FrictionFlowTerm(k, m, 1.0);
}

double CalcMaxPipeLength(double k, double m1, double diameterIn, double frictionFactor) {
  const double chokingTerm = ChokingFrictionTerm(k, m1);
  return (DiameterFeet(diameterIn) * chokingTerm) / frictionFactor;
}

double LogTermAtMost(const FrictionFlowParts& p) {
  return LogTermBound(p, 1 + kRatioRounding, INFINITY);
}

double LogTermAtLeast(const FrictionFlowParts& p) {
  return LogTermBound(p, 1 - kRatioRounding, -INFINITY);
}

namespace {

bool MachStopHolds(double fld1, double fld2) {
  return fld1 - fld2 <= kMachTolerance;
}

// The exit Mach number march as a problem for SearchMarch: F(k, M1, M2) rises
// with M2 up to 1.0, so its largest value between two grid points is bounded
// from the samples at the two ends.
class ExitMachProblem {
 public:
  struct Sample {
    FrictionFlowParts parts;
    double fld2;
  };

  ExitMachProblem(double k, double m1, double fld1) : k_(k), m1_(m1), fld1_(fld1) {}

  Sample At(double m2) const {
    const FrictionFlowParts parts = FrictionFlowPartsOf(k_, m1_, m2);
    return {parts, parts.Sum()};
  }
  bool Stops(const Sample& s) const { return MachStopHolds(fld1_, s.fld2); }
  static bool Passed(double, double next) { return next > 1.0; }

  bool NoStopBetween(const Sample& lo, const Sample& hi) const {
    // A NaN factor (k so large that 2k overflows) makes F NaN at every step,
    // where the stop test never holds.
    if (std::isnan(lo.parts.termB)) return true;
    // termA is largest at the far end, the logarithm at the near one; and the
    // computed F lies within the noise of the exact F, which rises.
    if (std::isnan(noise_)) noise_ = FrictionFlowNoise(k_, m1_);  // only once a jump is tried
    double most = std::nextafter(hi.fld2 + 2 * noise_, INFINITY);
    const double logTerm = LogTermAtMost(lo.parts);
    if (!std::isnan(logTerm)) {
      const double split = hi.parts.termA + logTerm;
      if (!(split >= most)) most = split;
    }
    return std::isfinite(most) && !MachStopHolds(fld1_, most);
  }

 private:
  double k_, m1_, fld1_;
  mutable double noise_ = NAN;
};

}  // namespace

ExitMachSolution SolveExitMachByMarch(double k, double m1, double fld1) {
  double m2 = m1;
  double fld2 = FrictionFlowTerm(k, m1, m2);
  std::uint64_t steps = 0;
  while (!MachStopHolds(fld1, fld2)) {
    m2 = m2 + kMachStep;
    ++steps;
    if (m2 > 1.0) return {true, m2, 0.0, steps, steps};
    fld2 = FrictionFlowTerm(k, m1, m2);
  }
  return {false, m2, fld2, steps, steps + 1};
}

ExitMachSolution SolveExitMach(double k, double m1, double fld1) {
  const auto end = SearchMarch(ExitMachProblem(k, m1, fld1), m1, kMachStep);
  if (!end.stopped) return {true, end.x, 0.0, end.steps, end.work};
  return {false, end.x, end.sample.fld2, end.steps, end.work};
}
