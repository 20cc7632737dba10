#include "calc/running_sum.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>

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

// One move along the grid: a whole stretch inside the binade, or a single
// step (across a binade edge, or where the increment is not yet steady).
// Takes at most `n` steps; false where the step is lost in the rounding.
bool Advance(double& x, std::uint64_t& n, double step, const Significand* stepParts) {
  if (stepParts && IsPositiveNormal(x)) {
    Significand s = SplitNormal(x);
    const std::uint64_t c = SteadyIncrement(s, *stepParts);
    if (c > 0 && s.j + c <= kBinadeTop) {
      // All n steps where they stay inside the binade (a product, far
      // cheaper than the division), else as many as fit.
      const std::uint64_t room = kBinadeTop - s.j;
      const std::uint64_t t = static_cast<Wide>(n) * c <= room ? n : room / c;
      s.j += t * c;
      n -= t;
      x = JoinNormal(s);
      return true;
    }
  }
  const double next = x + step;
  if (next == x) return false;
  x = next;
  --n;
  return true;
}

std::optional<Significand> StepParts(double step) {
  if (!IsPositiveNormal(step)) return std::nullopt;
  return SplitNormal(step);
}

int Binade(double x) {
  return static_cast<int>(BitsOf(x) >> 52);
}

}  // namespace

double RunningSum(double start, double step, std::uint64_t n) {
  const std::optional<Significand> parts = StepParts(step);
  double x = start;
  while (n > 0 && Advance(x, n, step, parts ? &*parts : nullptr)) {
  }
  return x;
}

RunningSums::RunningSums(double start, double step) : step_(step) {
  edges_[0] = {0, start};
}

double RunningSums::At(std::uint64_t n) {
  const Edge* const begin = edges_.data();
  const Edge* const end = begin + count_;
  const Edge* const after =
      std::upper_bound(begin, end, n, [](std::uint64_t m, const Edge& e) { return m < e.n; });
  const Edge from = *(after - 1);
  if (n >= lostAt_) return end[-1].x;
  if (after != end) return RunningSum(from.x, step_, n - from.n);  // inside a binade reached
  const std::optional<Significand> parts = StepParts(step_);
  double x = from.x;
  std::uint64_t left = n - from.n;
  while (left > 0) {
    const int binade = Binade(x);
    const bool moved = Advance(x, left, step_, parts ? &*parts : nullptr);
    if (!moved) lostAt_ = n - left;
    if ((!moved || Binade(x) != binade) && count_ < kKeptEdges) edges_[count_++] = {n - left, x};
    if (!moved) break;
  }
  return x;
}
