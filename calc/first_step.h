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
// it, down to the shortest jump worth its cost; below that the search walks
// with the march's own additions, where the computed test really may hold.
//
// The search costs at most a few steps' worth more than the march: jumps are
// tried freely only while the work spent stays within the steps already
// passed plus a small allowance. Beyond it, and below the shortest jump, every
// try that fails is followed by a walk, each twice as long as the last, so
// where bounds keep failing the search degrades into the plain march plus a
// few steps per doubling.
#pragma once

#include <cstdint>

#include "calc/running_sum.h"

// One evaluation of the march's test plus one addition.
inline constexpr std::uint64_t kWalkCost = 1;
// A jump: the running sum at the far end, one sample there and the bound on
// the stretch (a logarithm or two), counted generously in walked steps.
inline constexpr std::uint64_t kJumpCost = 4;
// Work the search may spend beyond the march's own, for jumps that fail before
// any has paid off (a few microseconds at most).
inline constexpr std::uint64_t kJumpAllowance = 64;
// Shorter jumps would save less than they cost.
inline constexpr std::uint64_t kShortestJump = 2 * kJumpCost;
// The first steps are walked as the march walks them: a march that stops this
// soon costs the search no more than itself.
inline constexpr std::uint64_t kFirstJumpStep = 64;

// The most the search may cost where the march costs `marchWork`: the
// allowance, and per doubling of the walk a failed try beyond it and the
// short tries that follow one.
constexpr std::uint64_t SearchWorkBound(std::uint64_t marchWork) {
  std::uint64_t doublings = 1;
  for (std::uint64_t w = marchWork; w > 1; w /= 2) ++doublings;
  return marchWork + kJumpAllowance + kWalkCost + 2 * kJumpCost * doublings;
}

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
MarchEnd<typename Problem::Sample> SearchMarch(const Problem& problem, double start, double step) {
  using Sample = typename Problem::Sample;
  constexpr std::uint64_t kLongest = std::uint64_t{1} << 62;
  std::uint64_t n = 0;
  double x = start;
  Sample sample = problem.At(x);
  std::uint64_t work = kWalkCost;
  std::uint64_t length = kShortestJump;   // the next jump
  std::uint64_t through = kShortestJump;  // the walk after the next failed jump
  std::uint64_t walkTo = kFirstJumpStep;  // walk up to this step before jumping
  struct {                                // the far end of the last stretch not ruled out
    std::uint64_t n = 0;
    Sample sample{};
  } ahead;

  // 1: jumped over [n, n + span]; 0: not ruled out (its far end kept in
  // `ahead`); -1: the march would end inside the stretch.
  const auto jump = [&](std::uint64_t span) {
    work += kJumpCost;
    const double beforeFar = RunningSum(x, step, span - 1);
    const double far = beforeFar + step;
    if (problem.Passed(beforeFar, far)) return -1;
    const Sample farSample = problem.At(far);
    if (!problem.NoStopBetween(sample, farSample)) {
      ahead = {n + span, farSample};
      return 0;
    }
    n += span;
    x = far;
    sample = farSample;
    return 1;
  };

  for (;;) {
    if (problem.Stops(sample)) return {true, n, x, sample, work};
    if (n >= walkTo) {
      const bool paid = work + kJumpCost <= n + 1 + kJumpAllowance;
      const int outcome = jump(length);
      if (outcome == 1) {
        length = length < kLongest ? length * 2 : length;
        if (paid) through = kShortestJump;
        continue;
      }
      // Within the allowance a failed try is followed by one half as long,
      // down to the shortest worth its cost. Below that, or beyond the
      // allowance, the search walks on instead, each such walk twice as long
      // as the last (reusing the sample at the try's far end where it can),
      // so failed tries cost a few steps per doubling of the walk.
      if (paid && length > kShortestJump) {
        length /= 2;
        continue;
      }
      length = length > kShortestJump ? length / 2 : kShortestJump;
      walkTo = n + through;
      through = through < kLongest ? through * 2 : through;
    }
    const double next = x + step;
    if (problem.Passed(x, next)) return {false, n + 1, next, sample, work + kWalkCost};
    ++n;
    x = next;
    if (ahead.n == n) {  // sampled by a jump already: the walk only adds
      sample = ahead.sample;
    } else {
      sample = problem.At(x);
      work += kWalkCost;
    }
  }
}

// A bound on the rounding error of FrictionFlowTerm(k, Ma, Mb) for Mach numbers
// in [mMin, 1]: the error is dominated by the ulp of 1/Ma^2 in the first term
// and by the ulp of the logarithm in the second.
double FrictionFlowNoise(double k, double mMin);
