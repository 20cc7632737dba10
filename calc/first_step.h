// The first step of a march at which a stop test holds, found without walking
// every step, yet exactly the step (and value) the walk would stop at.
//
// A march starts at `start`, tests the stop at each grid point, and adds
// `step` to get the next one, until the stop holds or the march runs past its
// end. The search walks the same grid, but from each point it tries to jump
// over a stretch [n, n + length] at once: it takes the grid value at the far
// end from RunningSum (exact, calc/running_sum.h), samples it, and asks the
// problem whether the samples at both ends bound the stop out of the whole
// stretch. A stretch ruled out doubles the next one; one that is not halves
// it, down to walking single steps with the march's own additions where the
// computed test really may hold.
//
// The search never costs more than the march by more than a few steps'
// worth: a jump is tried only while the work spent stays within the steps
// already passed plus a small allowance, so where bounds keep failing it
// degrades into the plain march.
#pragma once

#include <cstdint>

#include "calc/running_sum.h"

// One evaluation of the march's test plus one addition.
inline constexpr std::uint64_t kWalkCost = 1;
// A jump: the running sum at the far end, one sample there and the bound on
// the stretch (a logarithm or two), counted generously in walked steps.
inline constexpr std::uint64_t kJumpCost = 4;
// Work the search may spend beyond the march's own (jumps that fail early).
inline constexpr std::uint64_t kJumpAllowance = 8;

template <typename Sample>
struct MarchEnd {
  bool stopped;         // the stop test held; otherwise the march ran past its end
  std::uint64_t steps;  // additions made: to the stop, or to the point past the end
  double x;             // the grid value at `steps`
  Sample sample;        // the sample at the stop (meaningless past the end)
  std::uint64_t work;   // the search's cost in walked steps
};

// Problem requirements:
//   Sample At(double x): the march's own evaluation at grid value x;
//   bool Stops(const Sample&): the march's stop test;
//   bool Passed(double x, double next): the march ends after failing at x and
//     adding the step to reach next; once true, true for every later pair;
//   bool NoStopBetween(const Sample& lo, const Sample& hi): true only if the
//     test fails at every grid point from lo's to hi's.
template <typename Problem>
MarchEnd<typename Problem::Sample> SearchMarch(const Problem& problem, double start,
                                               double step) {
  using Sample = typename Problem::Sample;
  struct Probed {  // the far end of the last stretch not ruled out
    std::uint64_t n = 0;
    Sample sample{};
  } ahead;
  std::uint64_t n = 0, length = 2;
  double x = start;
  Sample sample = problem.At(x);
  std::uint64_t work = kWalkCost;
  for (;;) {
    if (problem.Stops(sample)) return {true, n, x, sample, work};
    bool jumped = false;
    while (length >= 2 && work + kJumpCost <= n + 1 + kJumpAllowance) {
      work += kJumpCost;
      const double beforeFar = RunningSum(x, step, length - 1);
      const double far = beforeFar + step;
      if (problem.Passed(beforeFar, far)) {
        length /= 2;
        continue;
      }
      const Sample farSample = problem.At(far);
      if (problem.NoStopBetween(sample, farSample)) {
        n += length;
        x = far;
        sample = farSample;
        length = length < (std::uint64_t{1} << 62) ? length * 2 : length;
        jumped = true;
        break;
      }
      ahead = {n + length, farSample};
      length /= 2;
    }
    if (jumped) continue;
    const double next = x + step;
    work += kWalkCost;
    if (problem.Passed(x, next)) return {false, n + 1, next, sample, work};
    ++n;
    x = next;
    sample = ahead.n == n ? ahead.sample : problem.At(x);
    if (length < 2) length = 2;
  }
}

// A bound on the rounding error of FrictionFlowTerm(k, Ma, Mb) for Mach numbers
// in [mMin, 1]: the error is dominated by the ulp of 1/Ma^2 in the first term
// and by the ulp of the logarithm in the second.
double FrictionFlowNoise(double k, double mMin);
