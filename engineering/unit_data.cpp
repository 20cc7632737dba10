// Unit factors: the exact definitions of NIST Special Publication 811 (2008),
// Appendix B: 1 lb = 0.45359237 kg, 1 ft = 0.3048 m, 1 in = 0.0254 m,
// 1 lbf = 4.4482216152605 N; degrees: t/C = (t/F - 32) / 1.8. Everything else
// is formed from them here, once, so every field derives its factor from the
// same bits.
#include "engineering/unit_data.h"

namespace {

constexpr double kKilogramsPerPound = 0.45359237;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kMetresPerInch = 0.0254;
constexpr double kNewtonsPerPoundForce = 4.4482216152605;

constexpr double kMillimetresPerInch = kMetresPerInch * 1000;
constexpr double kMillimetresPerFoot = kMetresPerFoot * 1000;
// psi = lbf / in^2, in kPa.
constexpr double kKilopascalsPerPsi =
    kNewtonsPerPoundForce / (kMetresPerInch * kMetresPerInch) / 1000;
constexpr double kCubicMetresPerCubicFoot = kMetresPerFoot * kMetresPerFoot * kMetresPerFoot;
constexpr double kDensityFactor = kKilogramsPerPound / kCubicMetresPerCubicFoot;
constexpr double kSpecificVolumeFactor = kCubicMetresPerCubicFoot / kKilogramsPerPound;

using B = BoxArray;
using Q = Quantity;

constexpr FieldUnit Text(FieldRef ref) {
  return {ref, Q::Text, "", "", 1};
}
constexpr FieldUnit Ratio(FieldRef ref) {
  return {ref, Q::Ratio, "-", "-", 1};
}
constexpr FieldUnit Pressure(FieldRef ref) {
  return {ref, Q::AbsolutePressure, "psia", "kPa(a)", kKilopascalsPerPsi};
}
constexpr FieldUnit PressureLoss(FieldRef ref) {
  return {ref, Q::Linear, "psi", "kPa", kKilopascalsPerPsi};
}
constexpr FieldUnit Temperature(FieldRef ref) {
  return {ref, Q::Temperature, "F", "C", 1};
}
constexpr FieldUnit Flow(FieldRef ref) {
  return {ref, Q::Linear, "lb/hr", "kg/h", kKilogramsPerPound};
}
constexpr FieldUnit Length(FieldRef ref) {
  return {ref, Q::Linear, "ft", "m", kMetresPerFoot};
}
constexpr FieldUnit Speed(FieldRef ref) {
  return {ref, Q::Linear, "ft/s", "m/s", kMetresPerFoot};
}
constexpr FieldUnit Density(FieldRef ref) {
  return {ref, Q::Linear, "lb/cf", "kg/m3", kDensityFactor};
}
constexpr FieldUnit SpecificVolume(FieldRef ref) {
  return {ref, Q::Linear, "cf/lb", "m3/kg", kSpecificVolumeFactor};
}

constexpr std::array<FieldUnit, kFieldCount> kFieldUnits{{
    Text({B::General, 0}),
    Text({B::Gas, 0}),
    // lb/lb-mole and kg/kmol are the same number.
    {{B::Gas, 1}, Q::Linear, "lb/lb-mole", "kg/kmol", 1},
    Ratio({B::Gas, 2}),
    {{B::Pipe, 0}, Q::Linear, "in.", "mm", kMillimetresPerInch},
    {{B::Pipe, 1}, Q::Linear, "ft", "mm", kMillimetresPerFoot},
    Length({B::Pipe, 2}),
    Ratio({B::Pipe, 3}),
    Pressure({B::Input, 0}),
    Temperature({B::Input, 1}),
    Flow({B::Input, 2}),
    Ratio({B::Input, 3}),
    Density({B::Input, 4}),
    SpecificVolume({B::Input, 5}),
    Speed({B::Input, 6}),
    Speed({B::Input, 7}),
    Ratio({B::Input, 8}),
    Pressure({B::Exit, 0}),
    Temperature({B::Exit, 1}),
    Flow({B::Exit, 2}),
    Ratio({B::Exit, 3}),
    Density({B::Exit, 4}),
    SpecificVolume({B::Exit, 5}),
    Speed({B::Exit, 6}),
    Speed({B::Exit, 7}),
    Ratio({B::Exit, 8}),
    PressureLoss({B::PressureLoss, 0}),
    PressureLoss({B::PressureLoss, 1}),
    Temperature({B::Stagnation, 0}),
    Pressure({B::Stagnation, 1}),
    Length({B::Limiting, 0}),
    Flow({B::Limiting, 1}),
    Ratio({B::Check, 0}),
    Ratio({B::Check, 1}),
    Ratio({B::Check, 2}),
}};

}  // namespace

const std::array<FieldUnit, kFieldCount>& FieldUnits() {
  return kFieldUnits;
}
