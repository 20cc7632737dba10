// Unit factors: the exact definitions of NIST Special Publication 811 (2008),
// Appendix B: 1 lb = 0.45359237 kg, 1 ft = 0.3048 m, 1 in = 0.0254 m,
// 1 lbf = 4.4482216152605 N; degrees: t/C = (t/F - 32) / 1.8. Everything else
// is formed from them here, once, so every field derives its factor from the
// same bits.
#include "engineering/unit_data.h"

#include "calc/field_names.h"

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
    Text(kDescription),
    Text(kGasType),
    // lb/lb-mole and kg/kmol are the same number.
    {kMolWeight, Q::Linear, "lb/lb-mole", "kg/kmol", 1},
    Ratio(kRatioK),
    {kDiameter, Q::Linear, "in.", "mm", kMillimetresPerInch},
    {kRoughness, Q::Linear, "ft", "mm", kMillimetresPerFoot},
    Length(kLength),
    Ratio(kFrictionFactor),
    Pressure(kPressure1),
    Temperature(kTemperature1),
    Flow(kFlow),
    Ratio(kZ1),
    Density(kDensity1),
    SpecificVolume(kSpecificVolume1),
    Speed(kVelocity1),
    Speed(kSonicVelocity1),
    Ratio(kMach1),
    Pressure(kPressure2),
    Temperature(kTemperature2),
    Flow(kFlow2),
    Ratio(kZ2),
    Density(kDensity2),
    SpecificVolume(kSpecificVolume2),
    Speed(kVelocity2),
    Speed(kSonicVelocity2),
    Ratio(kMach2),
    PressureLoss(kCompressibleLoss),
    PressureLoss(kIncompressibleLoss),
    Temperature(kStagnationTemperature),
    Pressure(kStagnationPressure),
    Length(kMaxLength),
    Flow(kMaxFlow),
    Ratio(kFrictionParameter1),
    Ratio(kFrictionParameter2),
    Ratio(kMachCheck),
}};

}  // namespace

const std::array<FieldUnit, kFieldCount>& FieldUnits() {
  return kFieldUnits;
}
