// The ideal-gas state at the pipe inlet, the pipe's friction factor and the
// unit constants they use, in US customary units. Every caller (the
// calculation, the maximum-flow search, the tests) takes them from here, so
// the same inputs give the same bits everywhere: each relation is evaluated in
// the order and grouping written below, and the constants are used exactly as
// written rather than at their more precise values.
#pragma once

#include <cmath>

// Added to degrees Fahrenheit to give degrees Rankine.
inline constexpr double kRankineOffset = 459.67;
// Inches per foot.
inline constexpr double kInchesPerFoot = 12;
// Square inches per square foot: turns psia into lbf per square foot.
inline constexpr double kSquareInchesPerSquareFoot = 144;
// Universal gas constant, ft-lbf per lb-mole per degree Rankine (1544, not 1545.35).
inline constexpr double kGasConstant = 1544;
// Gravitational conversion constant, lb-ft per lbf per second squared (32.17, not 32.174).
inline constexpr double kGravityConversion = 32.17;
// V = 0.0509 * W / (rho * D^2) gives ft/s for W in lb/hr, rho in lb/cf and D in
// inches (0.0509, not 576 / (3600 * pi) = 0.050930).
inline constexpr double kVelocityFactor = 0.0509;
// Darcy loss in psi: dP = 3.36e-6 * f * L * W^2 / (D^5 * rho) with L in ft,
// W in lb/hr, D in inches and rho in lb/cf. Formed as 10^-6 times 3.36.
inline constexpr double kDarcyLossFactor = 1e-6 * 3.36;

// The numbers of a run that the formulas take, by their symbols: k (Cp/Cv),
// MW (lb/lb-mole), P1 (psia), T1 (F), W (lb/hr), Z1, D (in.), e (ft), L (ft).
struct RunInputs {
  double k, mw, p1, t1, w, z1, d, e, l;
};

// TR = T + 459.67: absolute temperature, degrees Rankine, from degrees F.
inline double AbsoluteTemperature(double tF) {
  return tF + kRankineOffset;
}

// Dft = D / 12: the diameter in ft from inches.
inline double DiameterFeet(double dIn) {
  return dIn / kInchesPerFoot;
}

// rho = (P * 144 * MW) / (Z * 1544 * TR): real-gas density, lb/cf, from P in
// psia, MW in lb/lb-mole, the compressibility Z and TR in degrees Rankine.
inline double GasDensity(double p, double mw, double z, double tr) {
  return ((p * kSquareInchesPerSquareFoot) * mw) / ((z * kGasConstant) * tr);
}

// V = (W / rho) * 0.0509 / D^2: mean velocity, ft/s, of W lb/hr at rho lb/cf
// in a pipe of D inches, with D^2 as std::pow(D, 2) gives it (a search over
// the flow squares the diameter once).
inline double GasVelocityThroughSquare(double w, double rho, double dInSquared) {
  return ((w / rho) * kVelocityFactor) / dInSquared;
}

inline double GasVelocity(double w, double rho, double dIn) {
  return GasVelocityThroughSquare(w, rho, std::pow(dIn, 2));
}

// W = D^2 * (V * rho) / 0.0509: the flow, lb/hr, that a velocity V ft/s at
// rho lb/cf carries through D inches (the velocity relation turned round).
inline double MassFlow(double v, double rho, double dIn) {
  return (std::pow(dIn, 2) * (v * rho)) / kVelocityFactor;
}

// c = (k * 32.17 * TR * 1544 / MW)^0.5: ideal-gas sonic velocity, ft/s; the
// square root taken as the power 0.5.
inline double SonicVelocity(double k, double tr, double mw) {
  return std::pow((((k * kGravityConversion) * tr) * kGasConstant) / mw, 0.5);
}

// M = V / c: Mach number from velocity and sonic velocity (ft/s both).
inline double MachNumber(double v, double c) {
  return v / c;
}

// The divisor of the roughness in the rough-pipe law.
inline constexpr double kRoughnessDivisor = 3.7;

// q = log10((e / 3.7) / Dft), formed as a quotient of natural logarithms: the
// rough-pipe law 1/sqrt(f) = -2 log10(e / (3.7 D)). Zero when the roughness
// equals 3.7 diameters, where the friction factor is undefined.
inline double RoughnessLog(double eFt, double dFt) {
  return std::log((eFt / kRoughnessDivisor) / dFt) / std::log(10);
}

// f = 0.25 / q^2: the fully turbulent Darcy friction factor from RoughnessLog.
inline double FrictionFactor(double roughnessLog) {
  return 0.25 / std::pow(roughnessLog, 2);
}

// s = (M^2 (k - 1)) / 2 + 1: the ratio of stagnation to static absolute
// temperature of an ideal gas moving at Mach number M, the energy equation of
// adiabatic flow. (k - 1) multiplies M^2 before the halving, the grouping the
// stagnation state of the inlet has always used.
inline double StagnationRatio(double k, double m) {
  return (std::pow(m, 2) * (k - 1)) / 2 + 1;
}

// T0 = s * TR - 459.67: stagnation temperature, F, of a gas at TR degrees
// Rankine whose stagnation ratio is s.
inline double StagnationTemperature(double s, double tr) {
  return (s * tr) - kRankineOffset;
}

// P0 = P * s^(k / (k - 1)): stagnation pressure, psia, of a gas at P psia
// brought to rest isentropically; the exponent formed as k divided by (k - 1).
inline double StagnationPressure(double p, double s, double k) {
  return p * std::pow(s, k / (k - 1));
}

// C1 = f * L / Dft: the friction parameter fL/D that a pipe of L ft offers.
inline double PipeFrictionParameter(double f, double lFt, double dFt) {
  return (lFt * f) / dFt;
}

// The inlet state of a run and its pipe's friction, formed once from the
// inputs and shared by the calculation and the maximum-flow search.
struct InletState {
  double tr1;           // TR1, degrees Rankine
  double dft;           // D, ft
  double rho1;          // density, lb/cf
  double sv1;           // specific volume 1 / rho1, cf/lb
  double v1;            // velocity, ft/s
  double cs1;           // sonic velocity, ft/s
  double m1;            // Mach number
  double roughnessLog;  // q of the rough-pipe law; 0 where f is undefined (e = 3.7 D)
  double f;             // Darcy friction factor
  double fld1;          // C1 = fL/D, the pipe's friction parameter
};

inline InletState FormInletState(const RunInputs& in) {
  InletState s{};
  s.tr1 = AbsoluteTemperature(in.t1);
  s.dft = DiameterFeet(in.d);
  s.rho1 = GasDensity(in.p1, in.mw, in.z1, s.tr1);
  s.sv1 = 1 / s.rho1;
  s.v1 = GasVelocity(in.w, s.rho1, in.d);
  s.cs1 = SonicVelocity(in.k, s.tr1, in.mw);
  s.m1 = MachNumber(s.v1, s.cs1);
  s.roughnessLog = RoughnessLog(in.e, s.dft);
  s.f = FrictionFactor(s.roughnessLog);
  s.fld1 = PipeFrictionParameter(s.f, in.l, s.dft);
  return s;
}
