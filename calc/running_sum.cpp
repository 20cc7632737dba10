#include "calc/running_sum.h"

#include <cfloat>
#include <cmath>

#include "calc/float_bits.h"

namespace {

constexpr std::uint64_t kBinadeTop = std::uint64_t{1} << 53;  // significand span of a binade
__extension__ typedef unsigned __int128 Wide;                 // n * c exactly

// The number of significand units that `x + step` adds to x while the sum
// stays in x's binade, or 0 when that cannot be said without a single step:
// the step is not small against the binade, or a tie in the rounding of the
// step makes the increment depend on the parity of x (it settles after one
// step, because round-half-even leaves an even significand behind). The step
// in units of x's last place is step.j * 2^-shift; its whole part and the
// rest beyond it are read off the integer significand.
std::uint64_t SteadyIncrement(const Significand& x, const Significand& step) {
  const int shift = x.scale - step.scale;
  if (shift <= 0) return 0;   // the step is at least 2^52 units of x
  if (shift >= 64) return 0;  // under half a unit: lost in the rounding
  const std::uint64_t whole = step.j >> shift;
  const std::uint64_t rest = step.j & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  if (rest != half) return rest < half ? whole : whole + 1;
  if (x.j % 2 != 0) return 0;
  return whole % 2 == 0 ? whole : whole + 1;
}

bool IsPositiveNormal(double x) {
  return x >= DBL_MIN && x <= DBL_MAX;
}

}  // namespace

double RunningSum(double start, double step, std::uint64_t n) {
  const bool stepSplits = IsPositiveNormal(step);
  const Significand stepParts = stepSplits ? SplitNormal(step) : Significand{0, 0};
  double x = start;
  while (n > 0) {
    if (stepSplits && IsPositiveNormal(x)) {
      Significand s = SplitNormal(x);
      const std::uint64_t c = SteadyIncrement(s, stepParts);
      if (c > 0 && s.j + c <= kBinadeTop) {
        // All n steps where they stay inside the binade (a product, far
        // cheaper than the division), else as many as fit.
        const std::uint64_t room = kBinadeTop - s.j;
        const std::uint64_t t = static_cast<Wide>(n) * c <= room ? n : room / c;
        s.j += t * c;
        n -= t;
        x = JoinNormal(s);
        continue;
      }
    }
    const double next = x + step;
    if (next == x) return x;  // the step is lost in the rounding from here on
    x = next;
    --n;
  }
  return x;
}
