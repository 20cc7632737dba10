// The fast searches against the plain marches on generated runs: eight gases,
// diameters from 0.1 to 48 in, inlet Mach numbers from near 0 to near 1, pipe
// parameters from zero through the tolerance to choking, and choking flows
// from below 100 lb/hr to tens of thousands. Inputs are shaped so that each
// plain march stays within a few hundred thousand steps: a thousand
// comparisons take seconds.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <initializer_list>
#include <random>

#include "calc/first_step.h"
#include "calc/friction_flow.h"
#include "calc/gas_state.h"
#include "calc/max_flow.h"

namespace {

const double kGases[][2] = {{1.31, 18.02}, {1.4, 28.97},  {1.31, 16.04}, {1.41, 2.016},
                            {1.66, 4.003}, {1.29, 44.01}, {1.05, 120.0}, {1.13, 58.1}};

struct Generator {
  std::mt19937_64 random;
  double Uniform(double lo, double hi) {
    return lo + (hi - lo) * std::ldexp(static_cast<double>(random() >> 11), -53);
  }
  double LogUniform(double lo, double hi) { return std::exp(Uniform(std::log(lo), std::log(hi))); }
  unsigned Pick(unsigned n) { return static_cast<unsigned>(random() % n); }
};

// The Mach number below 1 at which F(k, M, 1) equals `target`, by bisection.
double MachForChokingTerm(double k, double target) {
  double lo = 1e-30, hi = 1.0;
  for (int i = 0; i < 200; ++i)
    (ChokingFrictionTerm(k, (lo + hi) / 2) > target ? lo : hi) = (lo + hi) / 2;
  return lo;
}

double PipeFrictionFactor(double e, double d) {
  return FrictionFactor(RoughnessLog(e, DiameterFeet(d)));
}

// The inlet pressure at which the pipe's parameter fld1 is met (to within the
// search's tolerance) at the flow `w`: density scales the Mach number at w.
double InletPressureChokingAt(const RunInputs& in, double w, double fld1) {
  const double tr1 = AbsoluteTemperature(in.t1);
  const double mach = MachForChokingTerm(in.k, fld1 + kFlowTolerance);
  const double rho1 = GasVelocity(w, 1.0, in.d) / (mach * SonicVelocity(in.k, tr1, in.mw));
  return rho1 / GasDensity(1.0, in.mw, in.z1, tr1);
}

void ExpectSameEnd(const ExitMachSolution& fast, const ExitMachSolution& plain) {
  ASSERT_EQ(fast.choked, plain.choked);
  ASSERT_EQ(fast.steps, plain.steps);
  ASSERT_EQ(fast.m2, plain.m2);
  ASSERT_EQ(fast.fld2, plain.fld2);
}

// The search ends as the march does, at no more than a few steps' extra cost
// (on one thread; on more, as the march does).
void ExpectSameExit(double k, double m1, double fld1,
                    std::initializer_list<unsigned> threads = {}) {
  SCOPED_TRACE(testing::Message() << std::hexfloat << k << " " << m1 << " " << fld1);
  const ExitMachSolution fast = SolveExitMach(k, m1, fld1),
                         plain = SolveExitMachByMarch(k, m1, fld1);
  ExpectSameEnd(fast, plain);
  ASSERT_LE(fast.work, SearchWorkBound(plain.work));
  for (unsigned n : threads) ExpectSameEnd(SolveExitMach(k, m1, fld1, n), plain);
}

void ExpectSameMaxFlow(const RunInputs& in) {
  const MaxFlowSearch fast = CalcMaxFlowRate(in, FormInletState(in)),
                      plain = MaxFlowByMarch(in, FormInletState(in), 1'000'000);
  ASSERT_EQ(fast.outcome, plain.outcome) << std::hexfloat << in.k << " " << in.p1 << " " << in.l;
  ASSERT_EQ(fast.steps, plain.steps) << std::hexfloat << in.k << " " << in.p1 << " " << in.l;
  ASSERT_EQ(fast.flow, plain.flow);
  ASSERT_LE(fast.work, SearchWorkBound(plain.work));
}

// C1 as the calculation forms it from a pipe length.
double ThroughPipeLength(double fld1, double d, double f) {
  return ((fld1 * DiameterFeet(d) / f) * f) / DiameterFeet(d);
}

TEST(SearchOracle, ExitMachSearchMatchesTheMarchOnGeneratedRuns) {
  Generator g{std::mt19937_64(11)};
  int choked = 0;
  for (int i = 0; i < 1200; ++i) {
    const double k = kGases[g.Pick(8)][0];
    double m1 = g.Pick(4) == 0 ? g.LogUniform(1e-6, 1e-2) : g.Uniform(0.01, 0.9999);
    double fld1 = 0;
    switch (g.Pick(6)) {
      case 0:
        fld1 = g.Pick(2) ? 0.0 : g.Uniform(0, 1e-6);
        break;  // at or below the tolerance
      case 1:   // chokes; only from near Mach 1, to keep the march short
        m1 = g.Uniform(0.98, 0.9999);
        fld1 = ChokingFrictionTerm(k, m1) * g.Uniform(1.0001, 3);
        break;
      default:  // an exit Mach number a little above the inlet one
        fld1 =
            FrictionFlowTerm(k, m1, std::min(1.0, m1 + std::min(0.02, m1 * g.LogUniform(1e-5, 1))));
    }
    const double d = g.LogUniform(0.1, 48), f = PipeFrictionFactor(g.LogUniform(1e-5, 1e-2), d);
    fld1 = ThroughPipeLength(fld1, d, f);
    ExpectSameExit(k, m1, fld1);
    choked += SolveExitMach(k, m1, fld1).choked;
  }
  EXPECT_GT(choked, 50);  // the generator does reach the failure
}

TEST(SearchOracle, MaxFlowSearchMatchesTheMarchOnGeneratedRuns) {
  Generator g{std::mt19937_64(12)};
  int chokedAtStart = 0, zeroLength = 0;
  for (int i = 0; i < 1200; ++i) {
    const auto& gas = kGases[g.Pick(8)];
    const double d = g.LogUniform(0.1, 48), e = g.LogUniform(1e-5, 1e-2);
    const double fld1 = g.Pick(8) == 0 ? 0.0 : g.LogUniform(1e-6, 200);
    RunInputs in{gas[0],
                 gas[1],
                 0,
                 g.Uniform(-100, 1200),
                 0,
                 g.Uniform(0.7, 1.0),
                 d,
                 e,
                 fld1 * DiameterFeet(d) / PipeFrictionFactor(e, d)};
    // Inlet pressure such that the pipe chokes at a chosen flow.
    const double chokingFlow = g.Pick(10) == 0 ? g.Uniform(10, 100) : g.LogUniform(100, 20000);
    in.p1 = InletPressureChokingAt(in, chokingFlow, fld1);
    ExpectSameMaxFlow(in);
    chokedAtStart +=
        CalcMaxFlowRate(in, FormInletState(in)).outcome == MaxFlowSearch::Outcome::ChokedAtStart;
    zeroLength += in.l == 0;
  }
  EXPECT_GT(chokedAtStart, 20);
  EXPECT_GT(zeroLength, 50);
}

// Tiny inlet Mach numbers: a trickle (down to 0.01 lb/hr) through a wide pipe
// (up to 48 in), k from 1.0001 to 1e20. 1/M1^2 is then so large that F is a
// staircase of its roundings while the exact F is nearly flat, and the stop
// test can hold and fail again over long stretches near the threshold.
struct TinyMachRun {
  double k, m1, choking, d, f;
};

TinyMachRun GenerateTinyMachRun(Generator& g) {
  const auto& gas = kGases[g.Pick(8)];
  const double k = 1 + g.LogUniform(1e-4, 1e20);
  const double tr1 = AbsoluteTemperature(g.Uniform(-100, 1200));
  const double rho1 = GasDensity(g.LogUniform(1, 3000), gas[1], g.Uniform(0.7, 1.0), tr1);
  const double d = g.LogUniform(0.1, 48);
  const double v1 = GasVelocity(g.LogUniform(0.01, 100), rho1, d);
  const double m1 = MachNumber(v1, SonicVelocity(k, tr1, gas[1]));
  return {k, m1, ChokingFrictionTerm(k, m1), d, PipeFrictionFactor(g.LogUniform(1e-5, 1e-2), d)};
}

TEST(SearchOracle, ExitMachSearchMatchesTheMarchFromTinyInletMachNumbers) {
  Generator g{std::mt19937_64(13)};
  for (int i = 0; i < 96; ++i) {
    const TinyMachRun run = GenerateTinyMachRun(g);
    const double offset = run.choking * g.LogUniform(1e-17, 1e-6) + g.LogUniform(1e-12, 1e-5);
    double fld1 = 0;
    switch (i % 4) {
      case 0:  // the choking length
        fld1 = run.choking;
        break;
      case 1:  // just below it
        fld1 = run.choking - offset;
        break;
      case 2:  // just above it
        fld1 = run.choking + offset;
        break;
      default:  // at the stop tolerance, to the last bits
        fld1 = kMachTolerance + kMachTolerance * DBL_EPSILON * g.Uniform(-4, 4);
        if (g.Pick(2)) fld1 = kMachTolerance + g.LogUniform(1e-24, 1e-12);
    }
    ExpectSameExit(run.k, run.m1, ThroughPipeLength(fld1, run.d, run.f));
  }
}

TEST(SearchOracle, MaxFlowSearchMatchesTheMarchFromTinyInletMachNumbers) {
  Generator g{std::mt19937_64(14)};
  for (int i = 0; i < 300; ++i) {
    const auto& gas = kGases[g.Pick(8)];
    const double d = g.LogUniform(1, 48), e = g.LogUniform(1e-5, 1e-2);
    const double fld1 = g.LogUniform(1e2, 1e16);
    RunInputs in{1 + g.LogUniform(1e-4, 1e20),
                 gas[1],
                 0,
                 g.Uniform(-100, 1200),
                 0,
                 g.Uniform(0.7, 1.0),
                 d,
                 e,
                 0};
    in.l = fld1 * DiameterFeet(d) / PipeFrictionFactor(e, d);
    in.p1 = InletPressureChokingAt(in, 100 * (1 + g.LogUniform(1e-6, 10)), fld1);
    if (i % 2 == 0) {  // at, just below or just above the choking length at 100 lb/hr
      const double tr1 = AbsoluteTemperature(in.t1);
      const double rho1 = GasDensity(in.p1, in.mw, in.z1, tr1);
      const double mach =
          MachNumber(GasVelocity(kFirstCandidateFlow, rho1, d), SonicVelocity(in.k, tr1, in.mw));
      const double atStart = ChokingFrictionTerm(in.k, mach) - kFlowTolerance;
      in.l = atStart * (1 + 1e-12 * g.Uniform(-1, 1)) * DiameterFeet(d) / PipeFrictionFactor(e, d);
    }
    ExpectSameMaxFlow(in);
  }
}

// C1 just above the choking term, the longest pipe the stop tolerance still
// accepts, with k in the millions and beyond: F stays within a few times its
// rounding of the stop over most of the march, which no bound can settle.
// The search walks there, each walk after a failed try twice as long as the
// last, and so costs no more than the march (a walk that never grew would
// cost it half as much again). On two and three threads the walk is split
// into chunks, and the first stop in step order must still win. The first
// rows stop after 120,000 to 300,000 steps; the last three are the slowest
// class found in a million random runs (millions of steps each).
struct SlowRow {
  const char* name;
  double k, m1, fld1;
  bool onThreads;  // also on two and three threads (the rows of moderate length)
};

SlowRow FromRun(const char* name, const RunInputs& in) {
  const InletState s = FormInletState(in);
  return {name, in.k, s.m1, s.fld1, false};
}

TEST(SearchOracle, ExitMachSearchMatchesTheMarchWhereNoBoundSettles) {
  const SlowRow rows[] = {
      {"k 1e9", 0x1.da1baab503346p+29, 0x1.b1602e7e6e9dep-24, 0x1.81d9286832fbap+16, true},
      {"k 2e9", 0x1.e317e29543a32p+30, 0x1.0d140dbfc9c8ep-23, 0x1.eb154a25c24e4p+14, true},
      {"k 1.4e8", 0x1.0a274137fab93p+27, 0x1.e1df94197589ep-24, 0x1.15fb693cb4bcfp+19, true},
      {"k 5.8e9", 0x1.5a3f9bee28396p+32, 0x1.197ea5f2fcafcp-23, 0x1.38edfec018987p+13, true},
      FromRun("k 4e12", {3.98e+12, 365.444962, 3.202312, 606.810818, 1321740.949517, 0.070192,
                         0.959917734, 0.000240058, 3.0671994089532217e-06}),
      FromRun("k 2.7e11", {269774309910.499451, 41.337059, 6.684304989569811, 340.115964, 17894.37,
                           0.932, 7.540526, 0.00125, 89.400971173408848}),
      FromRun("k 1.9e6", {1875657.918775, 8.45, 5.56, 2748.666331680955, 0.006211, 0.762084,
                          0.093605, 0.0019249200469240205, 2007.045642421258}),
  };
  for (const SlowRow& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectSameExit(
        row.k, row.m1, row.fld1,
        row.onThreads ? std::initializer_list<unsigned>{2, 3} : std::initializer_list<unsigned>{});
  }
}

TEST(SearchOracle, FlickeringStopNearSonicFromTinyInletMach) {
  // 1/M1^2 is so large here that its rounding makes the computed F wobble by
  // more than the tolerance near Mach 1: the stop test flickers, and a bare
  // bisection would land on a later flicker than the march.
  for (const auto& [m1, belowChoking] : {std::pair{1e-5, 1e-6}, {3e-6, 1e-5}, {1e-4, 1e-7}}) {
    ExpectSameExit(1.31, m1, ChokingFrictionTerm(1.31, m1) - belowChoking);
  }
}

}  // namespace
