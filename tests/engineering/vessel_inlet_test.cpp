#include "engineering/vessel_inlet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "calc/calculate.h"
#include "calc/gas_state.h"
#include "tests/core/calc_test_support.h"
#include "tests/engineering/message_of.h"

namespace {

// The default run's inputs below a vessel at the stagnation state that the
// calculation reports for the default run, at full precision.
VesselInletInputs DefaultVessel(double p0 = 829.713537258538, double t0 = 1025.682046365792) {
  return {p0, t0, 1.31, 18.02, 600000, 0.975, 6.0};
}

TEST(VesselInlet, TurnsTheDefaultRunsStagnationStateBackIntoItsInlet) {
  const VesselInletResult r = VesselInlet(DefaultVessel());
  EXPECT_EQ(r.p1, 740);
  EXPECT_EQ(r.t1, 986);
  RunRecord run;
  run.input[1] = "986.000000";
  RecordingHost host;
  CalculateRun(run, host);
  EXPECT_EQ(run.stagnation[0], "1,025.68");
  EXPECT_EQ(run.stagnation[1], "829.71");
}

// Isentropic flow tables for k = 1.4 (NACA Report 1135, 1953) at their five
// digits: T/T0 and p/p0 at M = 0.3, 0.5, 0.8. The flow is the one that gives
// that M at the tabulated static state; the vessel inlet must find the state.
TEST(VesselInlet, MatchesTheIsentropicTables) {
  for (const auto& [m, tRatio, pRatio] :
       {std::tuple{0.3, 0.98232, 0.93947}, {0.5, 0.95238, 0.84302}, {0.8, 0.88652, 0.65602}}) {
    const double p0 = 150, t0r = 600, mw = 28.9644, d = 3.068, tr1 = t0r * tRatio;
    const double rho = GasDensity(p0 * pRatio, mw, 1, tr1);
    const double w = MassFlow(m * SonicVelocity(1.4, tr1, mw), rho, d);
    const VesselInletResult r = VesselInlet({p0, t0r - kRankineOffset, 1.4, mw, w, 1, d});
    EXPECT_NEAR(r.p1 / p0, pRatio, 0.00002) << m;
    EXPECT_NEAR(AbsoluteTemperature(r.t1) / t0r, tRatio, 0.00002) << m;
  }
}

// Generated vessels give their stagnation state back within the grid's
// rounding; some end in a cycle between grid points.
TEST(VesselInlet, GivesTheStagnationStateBackOnTheGrid) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> u(0, 1);
  int cycles = 0;
  for (int i = 0; i < 20000; ++i) {
    const auto at = [&](double low, double span) { return low + span * u(random); };
    const VesselInletInputs in{std::pow(10, at(-0.5, 4)), at(-200, 1800), at(1.05, 0.6), at(2, 100),
                               std::pow(10, at(0, 6)),    at(0.5, 1),     at(0.5, 47)};
    if (MessageOf([&] { VesselInlet(in); }).find("choked") != std::string::npos) continue;
    const VesselInletResult r = VesselInlet(in);
    const double s = StagnationRatio(in.k, r.m1);
    EXPECT_NEAR(r.p0Back, in.p0, 1e-6 * std::pow(s, in.k / (in.k - 1))) << i;
    EXPECT_NEAR(r.t0Back, in.t0, 1e-6 * s) << i;
    cycles += r.cycleLength > 0;
  }
  EXPECT_GT(cycles, 0);
}

TEST(VesselInlet, RefusesWithMessages) {
  EXPECT_EQ(MessageOf([] { VesselInlet(DefaultVessel(500)); }),
            "the pipe entrance would be choked (inlet Mach number 1.0 or more): this flow needs "
            "a vessel pressure above 539.98 psia");
  EXPECT_THROW(VesselInlet(DefaultVessel(500)), EntranceChoked);  // a solve takes it as a choke
  EXPECT_GT(VesselInlet(DefaultVessel(540)).m1, 0.99);            // just above that pressure
  EXPECT_EQ(MessageOf([] { VesselInlet(DefaultVessel(0)); }),
            "the vessel pressure must be above 0 absolute");
}

}  // namespace
