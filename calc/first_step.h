// The first step of a march at which a stop test holds, found by bisection
// instead of walking every step, yet exactly the step the walk would stop at.
#pragma once

#include <cstdint>

struct StopSample {
  double score;  // the computed quantity the stop test looks at
  double noise;  // bound on the rounding error of `score`
  bool holds;    // the stop test at this step
};

// Returns the first n in [0, end) at which sampleAt(n).holds, or `end` when
// none does. Requirements that make bisection safe:
//   - the stop test is monotone in the score: if it holds for a score, it
//     holds for every larger score (a rounded difference against a fixed
//     threshold is);
//   - the exact quantity behind the score never decreases with n;
//   - the computed score differs from the exact one by at most its `noise`,
//     and the exact score plus that bound never decreases with n either (the
//     error bound varies far more slowly than the quantity itself).
// The computed score may wobble by rounding, so the test can flicker near the
// threshold and a plain bisection could stop at a later flicker. After the
// bisection finds a step where the test fails, followed by one where it holds,
// every earlier step whose score could still be within reach of the threshold
// is tested one by one: a step can only hold above a failing reference r if
// its score exceeds score(r), and every step n <= m scores at most
// exact(n) + noise(n) <= exact(m) + noise(m) <= score(m) + 2 noise(m), so the
// scan ends once that bound is clearly below score(r).
template <typename SampleAt>
std::uint64_t FirstStopStep(std::uint64_t end, SampleAt sampleAt) {
  if (end == 0) return 0;
  if (sampleAt(0).holds) return 0;
  std::uint64_t first = end;
  std::uint64_t lo = end - 1;
  StopSample reference = sampleAt(lo);
  if (reference.holds) {
    first = lo;
    lo = 0;
    reference = sampleAt(0);
    while (first - lo > 1) {
      const std::uint64_t mid = lo + (first - lo) / 2;
      const StopSample s = sampleAt(mid);
      if (s.holds) {
        first = mid;
      } else {
        lo = mid;
        reference = s;
      }
    }
  }
  for (std::uint64_t m = lo; m > 0;) {
    --m;
    const StopSample s = sampleAt(m);
    if (s.holds) {
      first = m;
    } else if (s.score + 4 * s.noise < reference.score) {
      break;
    }
  }
  return first;
}

// A bound on the rounding error of FrictionFlowTerm(k, Ma, Mb) for Mach numbers
// in [mMin, 1]: the error is dominated by the ulp of 1/Ma^2 in the first term
// and by the ulp of the logarithm in the second.
double FrictionFlowNoise(double k, double mMin);
