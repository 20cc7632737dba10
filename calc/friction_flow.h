// Adiabatic flow with wall friction in a pipe of constant diameter (Fanno
// flow): the friction-flow function and the stepwise exit Mach number solution.
#pragma once

#include <cmath>
#include <cstdint>

// F(k, Ma, Mb) = (1/Ma^2 - 1/Mb^2) / k
//              + ((k + 1) / (2k)) * ln( Ma^2 (2 + (k-1) Mb^2) / (Mb^2 (2 + (k-1) Ma^2)) )
// The friction parameter fL/D (D in feet, f Darcy) that takes a gas with ratio
// of specific heats k from Mach number Ma to Mach number Mb; it is the
// difference of the limiting parameter fL*/D between the two Mach numbers.
// Positive and rising in Mb for 0 < Ma < Mb <= 1; exactly 0 for Ma == Mb.
// Evaluated term by term in a fixed order so that every caller gets the same
// bits: 1/k is formed before the multiplication, 2k as k + k, and the ratio of
// squares as (Ma/Mb)^2 to keep the logarithm's argument near 1.
double FrictionFlowTerm(double k, double ma, double mb);

// The pieces of F that depend on k alone, formed once for a march.
struct FrictionFlowConstants {
  double k;
  double inverseK;   // 1 / k
  double termB;      // (k + 1) / (k + k)
  double kMinusOne;  // k - 1
};
inline FrictionFlowConstants FrictionFlowConstantsOf(double k) {
  return {k, 1 / k, (k + 1) / (k + k), k - 1};
}

// The pieces of F that depend on one Mach number M alone: a march that holds
// one of the two Mach numbers fixed forms them once for it. Each square is
// taken once by the power function and used wherever the formula squares M,
// which gives the same bits as squaring it at every use.
struct MachSquare {
  double mach;        // M
  double square;      // M^2
  double reciprocal;  // 1 / M^2
  double bracket;     // M^2 (k - 1) + 2
};
inline MachSquare MachSquareOf(const FrictionFlowConstants& c, double m) {
  const double square = std::pow(m, 2);
  return {m, square, 1 / square, square * c.kMinusOne + 2};
}

// The pieces F is summed from, F = termA + termB * ln(ratio), kept apart so a
// search can bound F over a whole stretch of Mach numbers (calc/flow_bounds.h).
struct FrictionFlowParts {
  double inverseK;          // 1 / k
  double inletReciprocal;   // 1 / Ma^2
  double exitReciprocal;    // 1 / Mb^2
  double termA;             // (1/Ma^2 - 1/Mb^2) * (1/k)
  double termB;             // (k + 1) / (2k)
  double machRatioSquared;  // (Ma/Mb)^2
  double ratio;             // the argument of the logarithm
  double logRatio;          // ln(ratio)
  double sum;               // F, bit for bit as FrictionFlowTerm
};
// a = 1/Ma^2; A = (a - 1/Mb^2) * (1/k); B = (k + 1) / (k + k); C = (Ma/Mb)^2;
// G = Mb^2 (k - 1) + 2; H = Ma^2 (k - 1) + 2; R = (C G) / H; F = A + B ln R.
// With Mb = 1.0, Ma/Mb is Ma exactly, so C is Ma^2 as already squared. Inline,
// so that a march hoists what does not change from step to step.
inline FrictionFlowParts FrictionFlowPartsOf(const FrictionFlowConstants& c,
                                             const MachSquare& inlet, const MachSquare& exit) {
  FrictionFlowParts p{};
  p.inverseK = c.inverseK;
  p.inletReciprocal = inlet.reciprocal;
  p.exitReciprocal = exit.reciprocal;
  p.termA = (inlet.reciprocal - exit.reciprocal) * c.inverseK;
  p.termB = c.termB;
  p.machRatioSquared = exit.mach == 1.0 ? inlet.square : std::pow(inlet.mach / exit.mach, 2);
  p.ratio = (p.machRatioSquared * exit.bracket) / inlet.bracket;
  p.logRatio = std::log(p.ratio);
  p.sum = p.termA + p.termB * p.logRatio;
  return p;
}

// The march raises the exit Mach number from M1 by repeated addition of this
// step; the n-th point is the n-fold running sum, not M1 + n * step.
inline constexpr double kMachStep = 0.0000001;
// The march stops once the pipe's friction parameter is met to within this.
inline constexpr double kMachTolerance = 0.000001;

struct ExitMachSolution {
  bool choked;                // the exit Mach number would pass 1.0 before C1 is met
  double m2;                  // exit Mach number (grid point); meaningless when choked
  double fld2;                // C2 = F(k, M1, M2); meaningless when choked
  std::uint64_t steps;        // additions made: to M2, or to the first point above 1.0
  std::uint64_t work;         // cost in march steps (calc/first_step.h)
  std::uint64_t jumps;        // jumps tried by the search (none by the march)
  std::uint64_t evaluations;  // of F (the march: one per step)
};

// First grid point M2 = M1 (+ step)* at which C1 - F(k, M1, M2) <= 1e-6, or
// `choked` when the grid passes 1.0 first. Returns exactly the point of the
// plain march (SolveExitMachByMarch), skipping the stretches of the grid that
// bounds on F rule out (calc/first_step.h). Stretches no bound can settle are
// walked on up to `threads` threads (1: on the caller's alone).
ExitMachSolution SolveExitMach(double k, double m1, double fld1, unsigned threads = 1);

// The plain step-by-step march: the definition of the result, kept as the test
// oracle and the benchmark baseline.
ExitMachSolution SolveExitMachByMarch(double k, double m1, double fld1);

// fL*/D from Mach M to Mach 1.0: F(k, M, 1.0).
double ChokingFrictionTerm(double k, double m);

// Pipe length (ft) at which the flow of inlet Mach M1 just chokes:
// Lmax = ((D / 12) * F(k, M1, 1)) / f, with D in inches.
double CalcMaxPipeLength(double k, double m1, double diameterIn, double frictionFactor);
