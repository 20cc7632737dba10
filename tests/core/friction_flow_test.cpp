#include "calc/friction_flow.h"

#include <gtest/gtest.h>

#include <vector>

#include "calc/max_flow.h"

namespace {

constexpr double kK = 1.31;  // the default run: steam
constexpr double kM1 = 0.4208202176280419;
constexpr double kC1 = 2.0911828112397273;
const RunInputs kDefaultFlowInputs{1.31, 18.02, 740, 986, 600000, 0.975, 6.0, 0.00015, 70.0};

TEST(FrictionFlowTerm, PublishedValuesAreBitExact) {
  EXPECT_EQ(FrictionFlowTerm(1.4, 0.5, 1.0), 1.0690603127182559);
  EXPECT_EQ(FrictionFlowTerm(1.4, 0.2, 1.0), 14.533266481951351);
  EXPECT_EQ(FrictionFlowTerm(1.4, 0.5, 0.8), 0.9967703403556835);
  EXPECT_EQ(ChokingFrictionTerm(kK, kM1), 2.124120181880916);
  EXPECT_EQ(CalcMaxPipeLength(kK, kM1, 6.0, 0.014937020080283766), 71.10254155327355);
  // fL*/D for k = 1.4 as tabulated in gas dynamics texts (four decimals).
  EXPECT_NEAR(ChokingFrictionTerm(1.4, 0.5), 1.0691, 5e-5);
  EXPECT_NEAR(ChokingFrictionTerm(1.4, 0.2), 14.533, 5e-4);
}

TEST(FrictionFlowTerm, VanishesBetweenEqualMachNumbersAndTowardsSonic) {
  for (double k : {1.05, 1.31, 1.4, 1.67}) {
    for (double m : {1e-4, 0.1, 0.42, 0.999, 1.0}) EXPECT_EQ(FrictionFlowTerm(k, m, m), 0.0);
    EXPECT_GT(ChokingFrictionTerm(k, 0.99), ChokingFrictionTerm(k, 0.999));
    EXPECT_LT(ChokingFrictionTerm(k, 0.999999), 1e-10);
  }
}

struct SolveRow {
  const char* name;
  double m1, fld1;
  bool choked;
  std::uint64_t steps;
  double m2, fld2;
};

// clang-format off
const SolveRow kSolveRows[] = {
    {"DefaultRun", kM1, kC1, false, 4414054, 0.8622256174396592, 2.091181820614798},
    {"LowInletMach", 0.042082021762804185, kC1, false, 1027, 0.04218472176280714, 2.091995049223812},
    {"PipeOf100ftChokes", kM1, kC1 * 100 / 70, true, 5791798, 0, 0},
    {"ShortPipeStopsAtOnce", kM1, 1e-6, false, 0, kM1, 0.0},
    {"ZeroLength", kM1, 0.0, false, 0, kM1, 0.0},
    {"GridLandsOnOneAndGoesOn", 0.99990000000005264, 1.0132207737609955e-06, false, 1000, 1.0, 1.3220773760995582e-08},
};
// clang-format on

TEST(SolveExitMach, SearchAndMarchGiveThePublishedGridPoint) {
  for (const SolveRow& row : kSolveRows) {
    for (const ExitMachSolution& s :
         {SolveExitMach(kK, row.m1, row.fld1), SolveExitMachByMarch(kK, row.m1, row.fld1)}) {
      EXPECT_EQ(s.choked, row.choked) << row.name;
      EXPECT_EQ(s.steps, row.steps) << row.name;
      if (!row.choked) {
        EXPECT_EQ(s.m2, row.m2) << row.name;
        EXPECT_EQ(s.fld2, row.fld2) << row.name;
      }
    }
  }
}

struct MaxFlowRow {
  const char* name;
  RunInputs in;
  MaxFlowSearch::Outcome outcome;
  std::uint64_t steps;
  double flow;
};

// clang-format off
const MaxFlowRow kMaxFlowRows[] = {
    {"DefaultRun", kDefaultFlowInputs, MaxFlowSearch::Outcome::Found, 6027773, 602877.2999314377},
    // Mach exactly 1.0 at 100 lb/hr: not below 1, so the search cannot start.
    {"SonicAtFirstCandidate", {1.31, 18.02, 186.84417662685055, 986, 600000, 0.975, 0.1, 0.00015, 0}, MaxFlowSearch::Outcome::ChokedAtStart, 0, 0.0},
};
// clang-format on

TEST(MaxFlow, SearchAndMarchGiveThePublishedRunningSum) {
  for (const MaxFlowRow& row : kMaxFlowRows) {
    for (const MaxFlowSearch& s : {CalcMaxFlowRate(row.in, FormInletState(row.in)),
                                   MaxFlowByMarch(row.in, FormInletState(row.in), 10'000'000)}) {
      EXPECT_EQ(s.outcome, row.outcome) << row.name;
      EXPECT_EQ(s.steps, row.steps) << row.name;
      EXPECT_EQ(s.flow, row.flow) << row.name;
    }
  }
}

// Runs that differ in the flow or Z2 share one search; a run that differs in
// anything the search reads gets its own, never a remembered one.
TEST(MaxFlow, MemoGivesTheSearchOfEachRun) {
  std::vector<RunInputs> runs(9, kDefaultFlowInputs);
  runs[1].w = 1000;
  runs[2].p1 = 700;
  runs[3].t1 = 900;
  runs[4].mw = 18.5;
  runs[5].z1 = 0.9;
  runs[6].d = 6.5;
  runs[7].e = 0.0002;
  runs[8].l = 80;
  MaxFlowMemo memo;
  for (int pass = 0; pass < 2; ++pass) {
    for (const RunInputs& in : runs) {
      const MaxFlowSearch direct = CalcMaxFlowRate(in, FormInletState(in)),
                          remembered = memo.Search(in, FormInletState(in));
      EXPECT_EQ(remembered.outcome, direct.outcome);
      EXPECT_EQ(remembered.flow, direct.flow) << in.w << " " << in.p1 << " " << in.l;
    }
  }
}

TEST(MaxFlow, EndsWhereTheMarchWouldNot) {
  RunInputs hugePipe = kDefaultFlowInputs, negativeLength = kDefaultFlowInputs,
            absoluteZero = kDefaultFlowInputs;
  // So wide a pipe stays far below Mach 1 until 0.1 is lost in the rounding
  // of the running sum.
  hugePipe.d = 1e9;
  const MaxFlowSearch huge = CalcMaxFlowRate(hugePipe, FormInletState(hugePipe));
  EXPECT_EQ(huge.outcome, MaxFlowSearch::Outcome::Unreachable);
  EXPECT_GT(huge.steps, 1'000'000'000'000'000u);
  negativeLength.l = -70;  // C1 < 0: the choking term never comes within reach
  EXPECT_EQ(CalcMaxFlowRate(negativeLength, FormInletState(negativeLength)).outcome,
            MaxFlowSearch::Outcome::Unreachable);
  absoluteZero.t1 = -459.67;
  EXPECT_NE(CalcMaxFlowRate(absoluteZero, FormInletState(absoluteZero)).outcome,
            MaxFlowSearch::Outcome::Found);
}

}  // namespace
