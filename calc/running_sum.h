// Exact n-fold running sums.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The value of x after `n` executions of `x = x + step` starting from `start`
// (each sum rounded to nearest double, ties to even), for start >= 0 and
// step > 0. Inside one binade the rounded increment is the same at every step
// (after a tie it settles after one step, since round-half-even leaves an even
// significand behind), so whole stretches are added at once with exact integer
// arithmetic on the significand; single steps cross the binade edges. Cost is
// a few integer operations per binade crossed, whatever n is.
double RunningSum(double start, double step, std::uint64_t n);

// The running sums of one grid, x_n = RunningSum(start, step, n), for a
// search that asks for many of them: the first grid point of every binade
// it has reached is kept, so that a sum costs one stretch from the nearest
// kept point below it (or two, after a tie), and each binade edge is
// crossed once for the whole grid (Edges counts them: a stretch to fill the
// binade and a step across each).
class RunningSums {
 public:
  RunningSums(double start, double step);
  double At(std::uint64_t n);
  std::uint64_t Edges() const { return count_ - 1; }

 private:
  struct Edge {
    std::uint64_t n;
    double x;
  };
  // Kept in place, without an allocation per search: a grid of the program
  // crosses at most 64 edges (calc/first_step.h); one that crossed more
  // would only take longer from the last kept edge.
  static constexpr std::size_t kKeptEdges = 128;
  double step_;
  std::array<Edge, kKeptEdges>
      edges_;  // ascending in n, the first at the start; count_ of them set
  std::size_t count_ = 1;
  std::uint64_t lostAt_ = ~std::uint64_t{0};  // where the step is lost, once reached
};
