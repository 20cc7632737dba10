// Adiabatic flow with wall friction in a pipe of constant diameter (Fanno
// flow): the friction-flow function and the stepwise exit Mach number solution.
#pragma once

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

// The pieces F is summed from, F = termA + termB * ln(ratio), kept apart so a
// search can bound F over a whole stretch of Mach numbers: termA moves one way
// only as either Mach number grows (every operation on it is a rounded
// monotone one), and the exact ratio does too, while its computed value stays
// within a few roundings of the exact one.
struct FrictionFlowParts {
  double termA;             // (1/Ma^2 - 1/Mb^2) / k
  double termB;             // (k + 1) / (2k)
  double machRatioSquared;  // (Ma/Mb)^2
  double ratio;             // the argument of the logarithm
  double Sum() const;       // F, bit for bit as FrictionFlowTerm
};
FrictionFlowParts FrictionFlowPartsOf(double k, double ma, double mb);

// Bounds on termB * ln(ratio) at any Mach numbers whose exact ratio is at most
// (AtMost) or at least (AtLeast) the exact ratio behind `p`; NaN where the
// rounding of the ratio cannot be bounded (squares near underflow).
double LogTermAtMost(const FrictionFlowParts& p);
double LogTermAtLeast(const FrictionFlowParts& p);

// The march raises the exit Mach number from M1 by repeated addition of this
// step; the n-th point is the n-fold running sum, not M1 + n * step.
inline constexpr double kMachStep = 0.0000001;
// The march stops once the pipe's friction parameter is met to within this.
inline constexpr double kMachTolerance = 0.000001;

struct ExitMachSolution {
  bool choked;          // the exit Mach number would pass 1.0 before C1 is met
  double m2;            // exit Mach number (grid point); meaningless when choked
  double fld2;          // C2 = F(k, M1, M2); meaningless when choked
  std::uint64_t steps;  // additions made: to M2, or to the first point above 1.0
  std::uint64_t work;   // cost in march steps (one evaluation of F and one addition)
};

// First grid point M2 = M1 (+ step)* at which C1 - F(k, M1, M2) <= 1e-6, or
// `choked` when the grid passes 1.0 first. Returns exactly the point of the
// plain march (SolveExitMachByMarch), skipping the stretches of the grid that
// bounds on F rule out (calc/first_step.h).
ExitMachSolution SolveExitMach(double k, double m1, double fld1);

// The plain step-by-step march: the definition of the result, kept as the test
// oracle and the benchmark baseline.
ExitMachSolution SolveExitMachByMarch(double k, double m1, double fld1);

// fL*/D from Mach M to Mach 1.0: F(k, M, 1.0).
double ChokingFrictionTerm(double k, double m);

// Pipe length (ft) at which the flow of inlet Mach M1 just chokes:
// Lmax = ((D / 12) * F(k, M1, 1)) / f, with D in inches.
double CalcMaxPipeLength(double k, double m1, double diameterIn, double frictionFactor);
