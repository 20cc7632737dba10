#include "calc/flow_bounds.h"

#include <algorithm>
#include <cmath>

#include "calc/float_bits.h"

// The rounding model. u = 2^-53. Every +, -, * and / rounds to nearest, so
// its result is within u of the exact result of its operands, relatively.
// The power function and the logarithm of the C library are within 0.54 and
// 0.52 units in the last place (the library's documented worst cases, with or
// without fused multiply-add); a unit in the last place of y is at most 2u|y|,
// so each is within 1.1u relatively. No value here is subnormal (BoundsHoldAt),
// so these relative bounds hold throughout. Errors are added to first order;
// the products of two or more of them are below 2^-45 of the sums and are
// covered by kSecondOrder.
//
// The pieces, as FrictionFlowPartsOf forms them (kappa = k - 1 as computed):
//   reciprocal 1/M^2 = 1 / pow(M, 2)                      2.1u (power, division)
//   termA = (1/Ma^2 - 1/Mb^2) * (1/k)                     + 3u of termA
//   C = pow(Ma / Mb, 2)  3.1u (quotient doubled by the square, power);
//                        1.1u when Mb = 1.0 (the quotient is exact)
//   G, H = pow(M, 2) * kappa + 2   4.1u against the exact bracket (power,
//        kappa, product on a part no larger than the bracket, and the sum);
//        3.1u against the bracket with kappa as computed
//   ratio = (C * G) / H                                   + 2u
//   termB = (k + 1) / (k + k)     2u (k + k is exact)
//   logRatio = log(ratio)         1.1u of |logRatio|
//   termB * logRatio, F = termA + that                    u each
// A piece formed from the fixed Mach number alone is the same double at
// every point of the march; its error is the same there too, a constant of
// the march, and moves F or the ratio by the same amount everywhere.
namespace {

constexpr double kU = 0x1p-53;
// Neglected products of errors, and the roundings of the bound's own sum.
constexpr double kSecondOrder = 1 + 0x1p-10;
// 1/M^2 of the moving Mach number: the power and the division.
constexpr double kReciprocalError = 2.1;
// termA beyond its moving reciprocal: the difference, 1/k and the product.
constexpr double kTermAError = 3;
// The computed ratio against the exact ratio times a constant of the march,
// relatively. Exit moving: C 3.1 + G 4.1 + product and quotient 2 (H is
// fixed). Inlet moving: C 1.1 + H 4.1 + 2 (G = kappa + 2 is fixed).
constexpr double kRatioErrorExit = 9.2;
constexpr double kRatioErrorInlet = 7.2;
// termB * logRatio per unit of |logRatio|: the logarithm 1.1, termB 2, the
// product 1.
constexpr double kLogTermError = 4.1;
// The final sum.
constexpr double kSumError = 1;

// The split bounds compare the computed ratio at any point from lo onwards
// with the computed ratio at lo, both against one monotone exact ratio that
// takes kappa as computed (C, the moving bracket at 3.1u, product and
// quotient): exit moving 3.1 + 3.1 + 2 = 8.2u each, so the two differ by at
// most 16.4u, and 17.4u once lo's ratio times the factor is rounded: 18u.
// Inlet moving: 1.1 + 3.1 + 2 = 6.2u each, 12.4u apart, 13.4u rounded: 14u.
constexpr double kExitRatioFactor = 1 + 18 * kU;
constexpr double kInletRatioFactor = 1 - 14 * kU;

// Below this the squares may be subnormal and lose their relative precision.
// Above it nothing underflows: with Mb <= 1 both squares are at least C, and
// the ratio (Ma^2 kappa + 2C) / (Ma^2 kappa + 2) lies
// between C and 1.
constexpr double kSmallestBoundedSquare = 0x1p-900;

double LargerMagnitude(double a, double b) {
  return std::max(std::fabs(a), std::fabs(b));
}

}  // namespace

bool BoundsHoldAt(const FrictionFlowParts& p) {
  return p.machRatioSquared >= kSmallestBoundedSquare && p.termB > 0 && std::isfinite(p.sum) &&
         std::isfinite(p.ratio) && p.ratio > 0 && std::isfinite(p.termA);
}

// Each magnitude is taken at the end of the stretch where it is largest: the
// moving reciprocal, termA (monotone as computed), |logRatio| and |F| (the
// computed values between the ends lie within a few roundings of the larger
// end's, which kSecondOrder covers).
double StretchRounding(const FrictionFlowParts& lo, const FrictionFlowParts& hi,
                       MovingMach moving) {
  const bool exit = moving == MovingMach::kExit;
  const double reciprocal = exit ? LargerMagnitude(lo.exitReciprocal, hi.exitReciprocal)
                                 : LargerMagnitude(lo.inletReciprocal, hi.inletReciprocal);
  const double ratioError = exit ? kRatioErrorExit : kRatioErrorInlet;
  const double termA = kReciprocalError * lo.inverseK * reciprocal +
                       kTermAError * LargerMagnitude(lo.termA, hi.termA);
  const double logTerm =
      lo.termB * (ratioError + kLogTermError * LargerMagnitude(lo.logRatio, hi.logRatio));
  const double sum = kSumError * LargerMagnitude(lo.sum, hi.sum);
  return kSecondOrder * kU * (termA + logTerm + sum);
}

// The logarithm is not exactly monotone, but it errs by under one unit in the
// last place: for x <= y (as doubles), log(x) <= log(y) + 1.04 units of its
// binade, which is at most the next double above log(y), also where log(x)
// lies in the coarser binade below. Hence the one-unit margin on the
// logarithm itself, before the product (whose rounding is monotone).
double LogTermAtMost(const FrictionFlowParts& lo) {
  if (!BoundsHoldAt(lo)) return NAN;
  return lo.termB * NextUp(std::log(lo.ratio * kExitRatioFactor));
}

double LogTermAtLeast(const FrictionFlowParts& lo) {
  if (!BoundsHoldAt(lo)) return NAN;
  return lo.termB * NextDown(std::log(lo.ratio * kInletRatioFactor));
}
