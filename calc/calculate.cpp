#include "calc/calculate.h"

#include <cmath>
#include <optional>
#include <string>

#include "calc/gas_state.h"
#include "calc/input_fields.h"

namespace {

using B = BoxArray;

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

struct InletState {
  double tr1, dft, rho1, sv1, v1, c1, m1;
  double f, c1Pipe, dPi;
};

struct ExitState {
  double t2r, t2, p2, dPc;
  double rho2, sv2, c2, v2, mCheck, w2;
  double t0, p0;
};

// One calculation: reads, computes and writes in the fixed order, and stops
// at the first input or result it cannot use, after one message.
class Calculation {
 public:
  Calculation(RunRecord& run, CalcHost& host) : run_(run), host_(host) {}

  void Run() {
    ClearResults(run_);
    host_.Repaint();
    RunInputs in{};
    if (!ReadInputs(in)) return;
    InletState s{};
    if (!ComputeInlet(in, s) || !WriteInlet(s)) return;
    host_.Repaint();
    if (!(s.m1 < 1.0)) return Fail("Initial Mach Number Should be < 1.0. Please Check the Inputs");
    if (!std::isfinite(ChokingFrictionTerm(in.k, s.m1))) {
      return Fail(std::string("Initial Mach Number Is Too Small") + kCheckInputs);
    }
    const ExitMachSolution exit = SolveExitMach(in.k, s.m1, s.c1Pipe);
    if (exit.choked) return Fail(kExitMachPassesOne);
    if (!WriteExit(in, s, exit)) return;
    if (!Write({B::Limiting, 0}, CalcMaxPipeLength(in.k, s.m1, in.d, s.f), kResultPattern2)) {
      return;
    }
    Write({B::Limiting, 1}, CalcMaxFlowRate(run_, host_), kResultPattern2);
  }

 private:
  void Fail(const std::string& message) { host_.ShowMessage(message); }

  std::string WithDecimalSymbol(const char* text) const {
    std::string out;
    for (const char* c = text; *c; ++c)
      out += *c == '.' ? host_.Symbols().decimal : std::string(1, *c);
    return out;
  }

  // Reads one input; refuses a text that is not a number.
  std::optional<double> Read(FieldRef ref) {
    auto value = TextToNumber(Text(run_, ref), host_.Symbols());
    if (!value) Fail(std::string(Caption(ref)) + " Is Not a Numeric Value" + kCheckInputs);
    return value;
  }

  bool Require(bool ok, FieldRef ref, const std::string& rule) {
    if (!ok) Fail(std::string(Caption(ref)) + " Should be " + rule + kCheckInputs);
    return ok;
  }

  bool ReadPositive(FieldRef ref, double& out) {
    const auto value = Read(ref);
    if (!value) return false;
    out = *value;
    return Require(out > 0, ref, "> 0");
  }

  bool ReadInputs(RunInputs& in) {
    const auto k = Read(kRatioK);
    if (!k || !Require(*k > 1, kRatioK, "> 1")) return false;
    in.k = *k;
    if (!ReadPositive(kMolWeight, in.mw) || !ReadPositive(kPressure1, in.p1)) return false;
    const auto t1 = Read(kTemperature1);
    if (!t1 || !Require(*t1 + kRankineOffset > 0, kTemperature1, WithDecimalSymbol("> -459.67"))) {
      return false;
    }
    in.t1 = *t1;
    if (!ReadPositive(kFlow, in.w) || !ReadPositive(kZ1, in.z1) || !ReadPositive(kDiameter, in.d) ||
        !ReadPositive(kRoughness, in.e)) {
      return false;
    }
    const auto l = Read(kLength);
    if (!l || !Require(*l >= 0, kLength, ">= 0")) return false;
    in.l = *l;
    return true;
  }

  bool ComputeInlet(const RunInputs& in, InletState& s) {
    s.tr1 = AbsoluteTemperature(in.t1);
    s.dft = DiameterFeet(in.d);
    s.rho1 = GasDensity(in.p1, in.mw, in.z1, s.tr1);
    s.sv1 = 1 / s.rho1;
    s.v1 = GasVelocity(in.w, s.rho1, in.d);
    s.c1 = SonicVelocity(in.k, s.tr1, in.mw);
    s.m1 = MachNumber(s.v1, s.c1);
    const double q = RoughnessLog(in.e, s.dft);
    if (!Require(q != 0, kRoughness,
                 WithDecimalSymbol("Other Than 3.7 Times the Diameter in ft"))) {
      return false;
    }
    s.f = FrictionFactor(q);
    s.c1Pipe = PipeFrictionParameter(s.f, in.l, s.dft);
    // Darcy loss with the density held at its inlet value.
    const double a = (kDarcyLossFactor * s.f) * in.l;
    const double b = std::pow(in.w, 2) * a;
    const double c = std::pow(in.d, 5) * s.rho1;
    s.dPi = b / c;
    return true;
  }

  bool WriteInlet(const InletState& s) {
    return Write({B::Input, 4}, s.rho1, kResultPattern6) &&
           Write({B::Input, 5}, s.sv1, kResultPattern6) &&
           Write({B::Input, 6}, s.v1, kResultPattern6) &&
           Write({B::Input, 7}, s.c1, kResultPattern6) &&
           Write({B::Input, 8}, s.m1, kResultPattern6) &&
           Write({B::Pipe, 3}, s.f, kResultPattern6) &&
           Write({B::PressureLoss, 1}, s.dPi, kResultPattern6);
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
    return Write({B::Exit, 0}, x.p2, kResultPattern2) &&
           Write({B::Exit, 1}, x.t2, kResultPattern2) && Write({B::Exit, 2}, x.w2, kWholePattern) &&
           Write({B::Exit, 4}, x.rho2, kResultPattern6) &&
           Write({B::Exit, 5}, x.sv2, kResultPattern6) &&
           Write({B::Exit, 6}, x.v2, kResultPattern2) &&
           Write({B::Exit, 7}, x.c2, kResultPattern2) &&
           Write({B::Exit, 8}, exit.m2, kResultPattern6) &&
           Write({B::PressureLoss, 0}, x.dPc, kResultPattern6) &&
           Write({B::Stagnation, 0}, x.t0, kResultPattern2) &&
           Write({B::Stagnation, 1}, x.p0, kResultPattern2) &&
           Write({B::Check, 0}, s.c1Pipe, kResultPattern6) &&
           Write({B::Check, 1}, exit.c2, kResultPattern6) &&
           Write({B::Check, 2}, x.mCheck, kResultPattern6);
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
    x.c2 = SonicVelocity(in.k, x.t2r, in.mw);
    x.v2 = GasVelocity(in.w, x.rho2, in.d);
    x.mCheck = MachNumber(x.v2, x.c2);
    x.w2 = MassFlow(x.v2, x.rho2, in.d);
  }

  // Stagnation state of the inlet; (k - 1) is grouped differently from the
  // temperature ratio above, and each grouping is kept where it is used.
  static void InletStagnation(const RunInputs& in, const InletState& s, ExitState& x) {
    const double st = StagnationRatio(in.k, s.m1);
    x.t0 = StagnationTemperature(st, s.tr1);
    x.p0 = StagnationPressure(in.p1, st, in.k);
  }

  // Writes one result; a value that overflowed or is undefined is refused.
  bool Write(FieldRef ref, double value, std::string_view pattern) {
    if (!std::isfinite(value)) {
      Fail(DistinctName(ref) + " Could Not be Computed" + kCheckInputs);
      return false;
    }
    Text(run_, ref) = FormatByPattern(value, pattern, host_.Symbols());
    host_.ResultValue(ref, value);
    return true;
  }

  RunRecord& run_;
  CalcHost& host_;
};

}  // namespace

void CalculateRun(RunRecord& run, CalcHost& host) {
  BusyScope busy(host);
  Calculation(run, host).Run();
}
