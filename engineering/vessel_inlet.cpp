#include "engineering/vessel_inlet.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "calc/field_names.h"
#include "calc/gas_state.h"
#include "engineering/input_error.h"
#include "numtext/numtext.h"

namespace {

// More grid steps than any settling takes: each step after the bisection
// moves by a few grid units at most.
constexpr int kMostGridSteps = 1000;

struct State {
  double p, t;
  bool operator==(const State& o) const { return p == o.p && t == o.t; }
};

// M1 as the calculation computes it from P1, T1 and the run's other inputs.
double InletMach(const VesselInletInputs& in, const State& s) {
  const double tr = AbsoluteTemperature(s.t);
  const double rho = GasDensity(s.p, in.mw, in.z1, tr);
  return MachNumber(GasVelocity(in.w, rho, in.d), SonicVelocity(in.k, tr, in.mw));
}

// The gas of the vessel at Mach number m: TR = TR0 / s, P = P0 / s^(k/(k-1)).
State StaticState(const VesselInletInputs& in, double m) {
  const double s = StagnationRatio(in.k, m);
  return {in.p0 / std::pow(s, in.k / (in.k - 1)), AbsoluteTemperature(in.t0) / s - kRankineOffset};
}

// A value as the window holds it typed: rendered with six decimals, read back.
double OnInputGrid(double x) {
  return *TextToNumber(FormatByPattern(x, kInputPattern));
}

State Grid(const State& s) {
  return {OnInputGrid(s.p), OnInputGrid(s.t)};
}

void Require(bool ok, const std::string& what) {
  if (!ok) throw InputError(what);
}

void RequireInputs(const VesselInletInputs& in, UnitSystem units) {
  const auto name = [units](FieldRef ref) { return UnitCaption(ref, units); };
  Require(in.p0 > 0 && std::isfinite(in.p0), "the vessel pressure must be above 0 absolute");
  Require(AbsoluteTemperature(in.t0) > 0 && std::isfinite(in.t0),
          "the vessel temperature must be above absolute zero");
  Require(in.k > 1 && std::isfinite(in.k), name(kRatioK) + " must be above 1");
  Require(in.mw > 0 && in.z1 > 0 && in.d > 0 && std::isfinite(in.mw * in.z1 * in.d),
          name(kMolWeight) + ", " + name(kZ1) + " and " + name(kDiameter) + " must be above 0");
  Require(in.w >= 0 && std::isfinite(in.w), name(kFlow) + " must be 0 or more");
}

[[noreturn]] void Choked(const VesselInletInputs& in, double sonicMach, UnitSystem units) {
  // M1 is inversely proportional to P1 at a given temperature, and P1 to P0
  // at a given M1: the vessel pressure that makes the sonic state's M1 exactly 1.
  const double least = ToUnits(kStagnationPressure, in.p0 * sonicMach, units);
  throw EntranceChoked(
      "the pipe entrance would be choked (inlet Mach number 1.0 or more): this flow needs a "
      "vessel pressure above " +
      FormatByPattern(least, kResultPattern2) + " " +
      std::string(UnitText(kStagnationPressure, units)));
}

// The subsonic root of InletMach(StaticState(m)) = m, by bisection.
double ContinuousMach(const VesselInletInputs& in) {
  double lo = 0, hi = 1;
  for (;;) {
    const double mid = lo + (hi - lo) / 2;
    if (mid <= lo || mid >= hi) return lo;
    (InletMach(in, StaticState(in, mid)) > mid ? lo : hi) = mid;
  }
}

VesselInletResult Result(const VesselInletInputs& in, const State& s, int iterations, int cycle) {
  const double m1 = InletMach(in, s);
  const double st = StagnationRatio(in.k, m1);
  return {s.p,
          s.t,
          m1,
          StagnationPressure(s.p, st, in.k),
          StagnationTemperature(st, AbsoluteTemperature(s.t)),
          iterations,
          cycle};
}

double Miss(const VesselInletInputs& in, const VesselInletResult& r) {
  return std::max(std::fabs(r.p0Back - in.p0) / in.p0,
                  std::fabs(AbsoluteTemperature(r.t0Back) - AbsoluteTemperature(in.t0)) /
                      AbsoluteTemperature(in.t0));
}

VesselInletResult NearestOfCycle(const VesselInletInputs& in, const std::vector<State>& cycle,
                                 int iterations) {
  const int length = static_cast<int>(cycle.size());
  VesselInletResult best = Result(in, cycle.front(), iterations, length);
  for (const State& s : cycle) {
    const VesselInletResult r = Result(in, s, iterations, length);
    if (Miss(in, r) < Miss(in, best)) best = r;
  }
  return best;
}

}  // namespace

VesselInletResult VesselInlet(const VesselInletInputs& in, UnitSystem units) {
  RequireInputs(in, units);
  const double sonicMach = InletMach(in, StaticState(in, 1.0));
  if (!(sonicMach < 1)) Choked(in, sonicMach, units);
  std::vector<State> visited{Grid(StaticState(in, ContinuousMach(in)))};
  for (int iterations = 1; iterations <= kMostGridSteps; ++iterations) {
    const double m1 = InletMach(in, visited.back());
    if (!(m1 < 1)) Choked(in, std::max(sonicMach, 1.0), units);
    const State next = Grid(StaticState(in, m1));
    const auto seen = std::find(visited.begin(), visited.end(), next);
    if (seen == visited.end() - 1) return Result(in, next, iterations, 0);
    if (seen != visited.end()) return NearestOfCycle(in, {seen, visited.end()}, iterations);
    visited.push_back(next);
  }
  throw InputError("the vessel inlet did not settle on the input grid");
}
