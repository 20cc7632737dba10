#include "engineering/units.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calc/field_names.h"
#include "tests/engineering/message_of.h"

namespace {

using B = BoxArray;
constexpr UnitSystem kSi = UnitSystem::Si;

// NIST SP 811 (2008), Appendix B.9, at its seven digits, and exact definitions.
TEST(Units, ConvertAsPublished) {
  const std::tuple<FieldRef, double, double, double> rows[] = {
      {kPressure1, 1, 6.894757, 5e-7}, {kCompressibleLoss, 1, 6.894757, 5e-7},
      {kDensity1, 1, 16.01846, 5e-6},  {kSpecificVolume2, 1, 0.06242796, 5e-9},
      {kFlow, 1, 0.45359237, 0},       {kDiameter, 1, 25.4, 0},
      {kRoughness, 1, 304.8, 0},       {kLength, 1, 0.3048, 0},
      {kTemperature1, 212, 100, 0},    {kStagnationTemperature, -40, -40, 0}};
  for (const auto& [ref, us, si, tolerance] : rows) {
    EXPECT_NEAR(ToUnits(ref, us, kSi), si, tolerance) << Caption(ref);
    EXPECT_NEAR(FromUnits(ref, si, kSi), us, tolerance * us / si + 1e-13) << Caption(ref);
  }
}

TEST(Units, RoundTripToRoundingAndCaptionsCarryTheUnit) {
  for (const FieldInfo& field : FieldTable()) {
    const std::string_view us = UnitText(field.ref, UnitSystem::Us);
    if (us.empty() || us == "-") continue;
    EXPECT_EQ(Caption(field.ref).substr(Caption(field.ref).size() - us.size()), us);
    for (double x : {0.1, 986.0, 1.0 / 3}) {
      const double back = FromUnits(field.ref, ToUnits(field.ref, x, kSi), kSi);
      EXPECT_NEAR(back, x, (std::fabs(x) + 32) * 1e-15) << Caption(field.ref);
    }
  }
  EXPECT_EQ(UnitCaption(kPressure1, kSi), "Initia, kPa(a)");
  EXPECT_EQ(UnitCaption(kRoughness, kSi), "Pipe Roughness, mm");
  EXPECT_EQ(UnitCaption(kRatioK, kSi), "k, Cp/Cv");
}

TEST(Units, RefuseWithMessages) {
  const std::tuple<FieldRef, double, const char*> rows[] = {
      {kTemperature1, -273.15, "Initial Temp, C: -273.15 is at or below absolute zero"},
      {kPressure1, -1, "Initia, kPa(a): -1 is below zero absolute pressure"},
      {kFlow, 1e308, "Flow Rate, kg/h: 1e+308 is out of range"},
  };
  for (const auto& [ref, value, message] : rows) {
    EXPECT_EQ(MessageOf([&] { FromUnits(ref, value, kSi); }), message);
  }
  EXPECT_EQ(MessageOf([] { ParseUnitSystem("metric"); }), "unknown units \"metric\" (us or si)");
}

}  // namespace
