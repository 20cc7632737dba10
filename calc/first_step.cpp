#include "calc/first_step.h"

#include <cfloat>
#include <cmath>

double FrictionFlowNoise(double k, double mMin) {
  // A = (1/Ma^2 - 1/Mb^2) / k: both reciprocals carry about two roundings,
  // the difference and the product one more each, all relative to 1/mMin^2.
  const double firstTerm = 13.0 * (1.0 / (mMin * mMin)) / k;
  // B * ln(R): R collects about seven roundings; |ln R| is at most the log of
  // the Mach ratio squared plus the log of the ratio of the (k-1) brackets.
  const double logRange =
      2.0 * std::fabs(std::log(mMin)) + std::fabs(std::log((k + 1.0) / 2.0)) + 1.0;
  const double secondTerm = ((k + 1.0) / (k + k)) * (10.0 + 4.0 * logRange);
  return 4.0 * DBL_EPSILON * (firstTerm + secondTerm);  // four times the estimate, for margin
}
