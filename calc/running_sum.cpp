#include "calc/running_sum.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::uint64_t kBinadeTop = std::uint64_t{1} << 53;  // significand span of a binade

// x = j * 2^scale with j in [2^52, 2^53): the significand of x as an integer.
struct Significand {
  std::uint64_t j;
  int scale;
};

Significand SplitValue(double x) {
  int exponent = 0;
  std::frexp(x, &exponent);  // x = m * 2^exponent, m in [0.5, 1)
  const int scale = exponent - 53;
  return {static_cast<std::uint64_t>(std::ldexp(x, -scale)), scale};
}

// The number of significand units that `x + step` adds to x while the sum
// stays in x's binade, or 0 when that cannot be said without a single step:
// the step is not small against the binade, or a tie in the rounding of the
// step makes the increment depend on the parity of x (it settles after one
// step, because round-half-even leaves an even significand behind).
std::uint64_t SteadyIncrement(const Significand& x, double step) {
  const double units = std::ldexp(step, -x.scale);  // step / ulp(x), exact
  if (!(units < 0x1p52)) return 0;
  const double whole = std::floor(units);
  const double rest = units - whole;
  const auto q = static_cast<std::uint64_t>(whole);
  if (rest != 0.5) return rest < 0.5 ? q : q + 1;
  if (x.j % 2 != 0) return 0;
  return q % 2 == 0 ? q : q + 1;
}

}  // namespace

double RunningSum(double start, double step, std::uint64_t n) {
  double x = start;
  while (n > 0) {
    if (x >= std::numeric_limits<double>::min()) {  // normal: ulp(x) = 2^scale
      Significand s = SplitValue(x);
      const std::uint64_t c = SteadyIncrement(s, step);
      if (c > 0 && s.j + c <= kBinadeTop) {
        const std::uint64_t t = std::min(n, (kBinadeTop - s.j) / c);
        s.j += t * c;
        n -= t;
        x = std::ldexp(static_cast<double>(s.j), s.scale);
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
