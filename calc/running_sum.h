// Exact n-fold running sums.
#pragma once

#include <cstdint>

// The value of x after `n` executions of `x = x + step` starting from `start`
// (each sum rounded to nearest double, ties to even), for start >= 0 and
// step > 0. Inside one binade the rounded increment is the same at every step
// (after a tie it settles after one step, since round-half-even leaves an even
// significand behind), so whole stretches are added at once with exact integer
// arithmetic on the significand; single steps cross the binade edges. Cost is
// a few integer operations per binade crossed, whatever n is.
double RunningSum(double start, double step, std::uint64_t n);
