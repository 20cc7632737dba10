#include "engineering/roughness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "calc/field_names.h"
#include "calc/gas_state.h"
#include "engineering/typed_value.h"
#include "tests/engineering/message_of.h"

namespace {

// The default run's published f comes from e = 0.00015 ft in a 6-in. pipe.
TEST(RoughnessFor, InvertsTheDefaultRunsFrictionFactorToTheBit) {
  const RoughnessForFriction r = RoughnessFor(0.014937020080283766, FrictionFactorKind::Darcy, 6);
  EXPECT_EQ(r.achieved, 0.014937020080283766);
  EXPECT_NEAR(r.roughnessFt, 0.00015, 1e-15);
  EXPECT_EQ(RoughnessFor(r.darcy / 4, FrictionFactorKind::Fanning, 6).roughnessFt, r.roughnessFt);
}

TEST(RoughnessFor, MeetsGeneratedFactorsWithinTheStatedBound) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> u(0, 1);
  for (int i = 0; i < 5000; ++i) {
    const double f = 0.001 + 0.099 * u(random), d = 0.1 + 100 * u(random);
    const RoughnessForFriction r = RoughnessFor(f, FrictionFactorKind::Darcy, d);
    EXPECT_EQ(r.achieved, FrictionFactor(RoughnessLog(r.roughnessFt, DiameterFeet(d))));
    EXPECT_LE(r.ulps, kMostFrictionUlps) << f << " " << d;
  }
  for (double f : {0.0, HUGE_VAL, std::nan(""), 1e-6}) {
    EXPECT_NE(MessageOf([f] { RoughnessFor(f, FrictionFactorKind::Darcy, 6); }), "(no error)");
  }
}

// The window rewrites a typed 0.0000015 ft as 0.000002, and f moves by 5 %.
TEST(TypedValue, TellsWhereTheWindowWouldRound) {
  EXPECT_EQ(WindowRoundingNote(kRoughness, 0.0000015),
            "Pipe Roughness, ft: the window would round 0.0000015 to 0.000002; kept as given");
  EXPECT_EQ(WindowRoundingNote(kLength, 70.0000015, {",", "."}),
            "Pipe Total Equivalent Length, ft: the window would round 70,0000015 to 70,000002; "
            "kept as given");
  EXPECT_FALSE(WindowWouldRound(0.123456) || WindowWouldRound(600000));
  EXPECT_TRUE(WindowWouldRound(1234567.1234567));
}

}  // namespace
