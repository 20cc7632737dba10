// Exact n-fold running sums and first-crossing searches over them.
#pragma once

#include <cstdint>

// The value of x after `n` executions of `x = x + step` starting from `start`
// (each sum rounded to nearest double, ties to even), for start >= 0 and
// step > 0. Inside one binade the rounded increment is the same at every step
// (except after a tie, where it settles after one step), so whole stretches
// are added at once with exact integer arithmetic on the significand.
double RunningSum(double start, double step, std::uint64_t n);

// The first n with RunningSum(start, step, n) > limit, or with it no longer
// growing (then `grows` is false). Exact; O(binades * log n).
struct FirstAbove {
  std::uint64_t n;
  bool grows;
};
FirstAbove FirstRunningSumAbove(double start, double step, double limit);
