#include "engineering/roughness.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "calc/gas_state.h"
#include "engineering/input_error.h"
#include "numtext/numtext.h"

namespace {

// Units in the last place of e searched either way from the closed form.
constexpr int kPolishReach = 256;

// The bits of a positive double as an integer: neighbouring doubles differ by 1.
std::int64_t OrderedBits(double x) {
  std::int64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

double AchievedFriction(double eFt, double dFt) {
  return FrictionFactor(RoughnessLog(eFt, dFt));
}

// The roughness within `reach` units in the last place of e whose friction
// factor comes nearest f; e itself on a tie.
double Polished(double e, double dFt, double f, int reach) {
  double best = e;
  double bestMiss = std::fabs(AchievedFriction(e, dFt) - f);
  for (const double direction : {-1.0, 1.0}) {
    double candidate = e;
    for (int step = 0; step < reach && bestMiss > 0; ++step) {
      candidate = std::nextafter(candidate, direction * INFINITY);
      const double miss = std::fabs(AchievedFriction(candidate, dFt) - f);
      if (miss < bestMiss) {
        best = candidate;
        bestMiss = miss;
      }
    }
  }
  return best;
}

}  // namespace

RoughnessForFriction RoughnessFor(double f, FrictionFactorKind kind, double dIn) {
  const double darcy = kind == FrictionFactorKind::Fanning ? 4 * f : f;
  if (!(darcy > 0) || !std::isfinite(darcy)) {
    throw InputError("the friction factor must be above 0, not " + ShortestText(f));
  }
  if (!(dIn > 0) || !std::isfinite(dIn)) throw InputError("the pipe diameter must be above 0");
  const double dFt = DiameterFeet(dIn);
  const double q = -0.5 / std::sqrt(darcy);
  const double e = Polished((std::pow(10, q) * dFt) * kRoughnessDivisor, dFt, darcy, kPolishReach);
  if (!std::isnormal(e) || !(RoughnessLog(e, dFt) < 0)) {
    throw InputError("no roughness below 3.7 pipe diameters gives the friction factor " +
                     ShortestText(f));
  }
  const double achieved = AchievedFriction(e, dFt);
  const std::int64_t ulps = std::llabs(OrderedBits(achieved) - OrderedBits(darcy));
  return {e, darcy, achieved, static_cast<int>(std::min<std::int64_t>(ulps, INT32_MAX))};
}
