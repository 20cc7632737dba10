#include "engineering/fittings.h"

#include <gtest/gtest.h>

#include "calc/gas_state.h"
#include "tests/engineering/message_of.h"

namespace {

constexpr double kD = 4.026, kE = 0.00015;  // 4-in. Schedule 40 steel

// A Crane L/D fitting adds exactly L/D diameters whatever f is; a fixed K adds
// K * D / f with the calculation's own f.
TEST(Fittings, EquivalentLengthsAsPublished) {
  const double dFt = DiameterFeet(kD), f = FrictionFactor(RoughnessLog(kE, dFt));
  const std::tuple<const char*, const char*, double> rows[] = {
      {"0", "elbow-90", 30 * dFt},
      {"0", "elbow-90x2,gate-valve", 68 * dFt},
      {"0", "GLOBE-VALVE", 340 * dFt},
      {"0", "entrance-square,exit", 1.5 * dFt / f},
      {"0.5,1.2,0.04", "ball-valve", 1.74 * dFt / f + 3 * dFt},
  };
  for (const auto& [ks, names, added] : rows) {
    const EquivalentLength l = AddFittings(100, kD, kE, ParseKValues(ks), ParseFittings(names));
    EXPECT_EQ(l.straightFt, 100);
    EXPECT_NEAR(l.totalFt - 100, added, 1e-12 * added) << names;
    EXPECT_EQ(l.frictionFactor, f);
  }
}

TEST(Fittings, RefuseWithMessages) {
  EXPECT_EQ(MessageOf([] { ParseKValues("0.5,-0.1"); }), "K -0.1 is negative");
  EXPECT_EQ(MessageOf([] { ParseKValues("0.5,,1"); }), "an empty item in \"0.5,,1\"");
  EXPECT_EQ(MessageOf([] { ParseFittings("elbow-91"); }), "unknown fitting \"elbow-91\"");
  EXPECT_EQ(MessageOf([] { ParseFittings("exitx0"); }),
            "\"exitx0\": the count must be a whole number from 1 to 10000");
  EXPECT_EQ(MessageOf([] { AddFittings(1, 12, 3.7, {}, {}); }),
            "a roughness of 3.7 pipe diameters has no friction factor");
}

}  // namespace
