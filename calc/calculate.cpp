#include "calc/calculate.h"

#include <cmath>
#include <optional>
#include <string>

#include "calc/field_names.h"
#include "calc/gas_state.h"

namespace {

// Closes the busy indication on every way out of the calculation.
class BusyScope {
 public:
  explicit BusyScope(CalcHost& host) : host_(host) { host_.BeginBusy(); }
  ~BusyScope() { host_.EndBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  CalcHost& host_;
};

struct ExitState {
  double t2r, t2, p2, dPc;
  double rho2, sv2, cs2, v2, mCheck, w2;
  double t0, p0;
};

// One calculation: reads, computes and writes in the fixed order, and stops
// at the first input or result it cannot use, after one message.
class Calculation {
 public:
  Calculation(RunRecord& run, CalcHost& host) : run_(run), host_(host) {}

  CalcOutcome Run() {
    ClearResults(run_);
    host_.Repaint();
    RunInputs in{};
    if (!ReadInputs(in)) return outcome_;
    const InletState s = FormInletState(in);
    if (!Require(s.roughnessLog != 0, kRoughness, CalcEnd::kRoughnessAtDiameterLimit)) {
      return outcome_;
    }
    if (!WriteInlet(s, IncompressibleLoss(in, s))) return outcome_;
    host_.Repaint();
    if (!(s.m1 < 1.0)) return Fail({CalcEnd::kInletMachNotBelowOne, kMach1});
    if (!std::isfinite(ChokingFrictionTerm(in.k, s.m1))) {
      return Fail({CalcEnd::kInletMachTooSmall, kMach1});
    }
    const ExitMachSolution exit = SolveExitMach(in.k, s.m1, s.fld1, host_.SearchThreads());
    if (exit.choked) return Fail({CalcEnd::kExitMachPassesOne, kMach2});
    if (!WriteExit(in, s, exit)) return outcome_;
    if (!Write(kMaxLength, CalcMaxPipeLength(in.k, s.m1, in.d, s.f))) {
      return outcome_;
    }
    Write(kMaxFlow, MaxFlowRate(in, s));
    return outcome_;
  }

 private:
  CalcOutcome Fail(const CalcOutcome& outcome) {
    outcome_ = outcome;
    host_.ShowMessage(OutcomeMessage(outcome, host_.Symbols()));
    return outcome_;
  }

  // The maximum flow, or 0 after its message where the search cannot start
  // or cannot end; the calculation's other results stand.
  double MaxFlowRate(const RunInputs& in, const InletState& s) {
    MaxFlowMemo* memo = host_.MaxFlowMemory();
    const unsigned threads = host_.SearchThreads();
    const MaxFlowSearch search =
        memo ? memo->Search(in, s, threads) : CalcMaxFlowRate(in, s, threads);
    switch (search.outcome) {
      case MaxFlowSearch::Outcome::ChokedAtStart:
        Fail({CalcEnd::kMaxFlowChokedAtStart, kMaxFlow});
        return 0.0;
      case MaxFlowSearch::Outcome::Unreachable:
        Fail({CalcEnd::kMaxFlowUnreachable, kMaxFlow});
        return 0.0;
      case MaxFlowSearch::Outcome::Found:
        break;
    }
    return search.flow;
  }

  // Reads one input; refuses a text that is not a number.
  std::optional<double> Read(FieldRef ref) {
    auto value = TextToNumber(Text(run_, ref), host_.Symbols());
    if (!value) Fail({CalcEnd::kNotNumeric, ref});
    return value;
  }

  bool Require(bool ok, FieldRef ref, CalcEnd broken) {
    if (!ok) Fail({broken, ref});
    return ok;
  }

  bool ReadPositive(FieldRef ref, double& out) {
    const auto value = Read(ref);
    if (!value) return false;
    out = *value;
    return Require(out > 0, ref, CalcEnd::kNotPositive);
  }

  bool ReadInputs(RunInputs& in) {
    const auto k = Read(kRatioK);
    if (!k || !Require(*k > 1, kRatioK, CalcEnd::kNotAboveOne)) return false;
    in.k = *k;
    if (!ReadPositive(kMolWeight, in.mw) || !ReadPositive(kPressure1, in.p1)) return false;
    const auto t1 = Read(kTemperature1);
    if (!t1 || !Require(*t1 + kRankineOffset > 0, kTemperature1, CalcEnd::kNotAboveAbsoluteZero)) {
      return false;
    }
    in.t1 = *t1;
    if (!ReadPositive(kFlow, in.w) || !ReadPositive(kZ1, in.z1) || !ReadPositive(kDiameter, in.d) ||
        !ReadPositive(kRoughness, in.e)) {
      return false;
    }
    const auto l = Read(kLength);
    if (!l || !Require(*l >= 0, kLength, CalcEnd::kNegative)) return false;
    in.l = *l;
    return true;
  }

  // Darcy loss with the density held at its inlet value, psi.
  static double IncompressibleLoss(const RunInputs& in, const InletState& s) {
    const double a = (kDarcyLossFactor * s.f) * in.l;
    const double b = std::pow(in.w, 2) * a;
    const double c = std::pow(in.d, 5) * s.rho1;
    return b / c;
  }

  bool WriteInlet(const InletState& s, double dPi) {
    return Write(kDensity1, s.rho1) && Write(kSpecificVolume1, s.sv1) && Write(kVelocity1, s.v1) &&
           Write(kSonicVelocity1, s.cs1) && Write(kMach1, s.m1) && Write(kFrictionFactor, s.f) &&
           Write(kIncompressibleLoss, dPi);
  }

  // Exit state of adiabatic flow with friction between M1 and M2: the exit
  // temperature from the constant stagnation temperature, the exit pressure
  // from continuity of the ideal-gas flow; density and velocity use Z2.
  bool WriteExit(const RunInputs& in, const InletState& s, const ExitMachSolution& exit) {
    ExitState x{};
    ExitTemperatureAndPressure(in, s, exit.m2, x);
    double z2 = 0;
    if (!ReadPositive(kZ2, z2)) return false;
    ExitFlowState(in, z2, x);
    InletStagnation(in, s, x);
    return Write(kPressure2, x.p2) && Write(kTemperature2, x.t2) && Write(kFlow2, x.w2) &&
           Write(kDensity2, x.rho2) && Write(kSpecificVolume2, x.sv2) && Write(kVelocity2, x.v2) &&
           Write(kSonicVelocity2, x.cs2) && Write(kMach2, exit.m2) &&
           Write(kCompressibleLoss, x.dPc) && Write(kStagnationTemperature, x.t0) &&
           Write(kStagnationPressure, x.p0) && Write(kFrictionParameter1, s.fld1) &&
           Write(kFrictionParameter2, exit.fld2) && Write(kMachCheck, x.mCheck);
  }

  // Ideal-gas relations: no compressibility factor enters them.
  static void ExitTemperatureAndPressure(const RunInputs& in, const InletState& s, double m2,
                                         ExitState& x) {
    const double k = in.k, m1 = s.m1;
    const double a2 = std::pow(m2, 2) * ((k - 1) / 2) + 1;
    const double b1 = std::pow(m1, 2) * ((k - 1) / 2) + 1;
    const double tr = a2 / b1;
    x.t2r = s.tr1 / tr;
    x.t2 = x.t2r - kRankineOffset;
    const double pr = std::pow(tr, 0.5) * (m2 / m1);
    x.p2 = in.p1 / pr;
    x.dPc = in.p1 - x.p2;
  }

  // Density, velocity and sonic velocity at the exit with the exit Z2, and
  // the exit Mach number and flow they imply (the calculation check).
  static void ExitFlowState(const RunInputs& in, double z2, ExitState& x) {
    x.rho2 = GasDensity(x.p2, in.mw, z2, x.t2r);
    x.sv2 = 1 / x.rho2;
    x.cs2 = SonicVelocity(in.k, x.t2r, in.mw);
    x.v2 = GasVelocity(in.w, x.rho2, in.d);
    x.mCheck = MachNumber(x.v2, x.cs2);
    x.w2 = MassFlow(x.v2, x.rho2, in.d);
  }

  // Stagnation state of the inlet; (k - 1) is grouped differently from the
  // temperature ratio above, and each grouping is kept where it is used.
  static void InletStagnation(const RunInputs& in, const InletState& s, ExitState& x) {
    const double st = StagnationRatio(in.k, s.m1);
    x.t0 = StagnationTemperature(st, s.tr1);
    x.p0 = StagnationPressure(in.p1, st, in.k);
  }

  // Writes one result by its field's display pattern and hands its value to
  // the host; a value that overflowed or is undefined is refused.
  bool Write(FieldRef ref, double value) {
    if (!std::isfinite(value)) {
      Fail({CalcEnd::kNotComputed, ref});
      return false;
    }
    Text(run_, ref) = FormatByPattern(value, Field(ref).pattern, host_.Symbols());
    host_.ResultValue(ref, value);
    return true;
  }

  RunRecord& run_;
  CalcHost& host_;
  CalcOutcome outcome_;
};

}  // namespace

CalcOutcome CalculateRun(RunRecord& run, CalcHost& host) {
  BusyScope busy(host);
  return Calculation(run, host).Run();
}

Calculated CalculateQuietly(RunRecord& run, const NumberSymbols& symbols, MaxFlowMemo* memo) {
  QuietHost host(symbols, memo);
  const CalcOutcome outcome = CalculateRun(run, host);
  return {outcome, host.Values()};
}
