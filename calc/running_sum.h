// Exact n-fold running sums, and searches over their index.
#pragma once

#include <cstdint>
#include <optional>

// The value of x after `n` executions of `x = x + step` starting from `start`
// (each sum rounded to nearest double, ties to even), for start >= 0 and
// step > 0. Inside one binade the rounded increment is the same at every step
// (after a tie it settles after one step, since round-half-even leaves an even
// significand behind), so whole stretches are added at once with exact integer
// arithmetic on the significand; single steps cross the binade edges. Cost is
// a few operations per binade crossed, whatever n is.
double RunningSum(double start, double step, std::uint64_t n);

// The first n at which `reached(RunningSum(start, step, n))` is true, for a
// test that, once true for a value, is true for every larger value. No value
// when the running sum stops growing (the step lost in its rounding) first.
template <typename Reached>
std::optional<std::uint64_t> FirstRunningSumReaching(double start, double step, Reached reached) {
  if (reached(start)) return 0;
  std::uint64_t lo = 0;  // not reached at lo
  std::uint64_t hi = 1;
  for (;;) {
    const double x = RunningSum(start, step, hi);
    if (reached(x)) break;
    if (x + step == x) return std::nullopt;
    lo = hi;
    hi *= 2;
  }
  while (hi - lo > 1) {
    const std::uint64_t mid = lo + (hi - lo) / 2;
    if (reached(RunningSum(start, step, mid))) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  return hi;
}
