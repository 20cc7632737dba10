#include "calc/friction_flow.h"

#include <gtest/gtest.h>

#include <ostream>

#include "calc/max_flow.h"

namespace {

constexpr double kDefaultK = 1.31;
constexpr double kDefaultM1 = 0.4208202176280419;
constexpr double kDefaultC1 = 2.0911828112397273;

struct TermRow {
  const char* name;
  double k, ma, mb, f;
};
void PrintTo(const TermRow& row, std::ostream* out) {
  *out << row.name;
}

class FrictionFlowTermTable : public testing::TestWithParam<TermRow> {};

TEST_P(FrictionFlowTermTable, IsBitExact) {
  const TermRow& row = GetParam();
  EXPECT_EQ(FrictionFlowTerm(row.k, row.ma, row.mb), row.f);
}

INSTANTIATE_TEST_SUITE_P(
    Published, FrictionFlowTermTable,
    testing::Values(TermRow{"Air_0_5_to_1", 1.4, 0.5, 1.0, 1.0690603127182559},
                    TermRow{"Air_0_2_to_1", 1.4, 0.2, 1.0, 14.533266481951351},
                    TermRow{"Air_0_5_to_0_8", 1.4, 0.5, 0.8, 0.9967703403556835},
                    TermRow{"SteamDefaultInlet", 1.31, kDefaultM1, 1.0, 2.124120181880916}),
    [](const testing::TestParamInfo<TermRow>& info) { return info.param.name; });

TEST(FrictionFlowTerm, AgreesWithTextbookFannoTables) {
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

TEST(MaxPipeLength, DefaultRun) {
  EXPECT_EQ(CalcMaxPipeLength(kDefaultK, kDefaultM1, 6.0, 0.014937020080283766), 71.10254155327355);
}

struct SolveRow {
  const char* name;
  double m1, c1;
  bool choked;
  std::uint64_t steps;
  double m2, c2;
};
void PrintTo(const SolveRow& row, std::ostream* out) {
  *out << row.name;
}

class SolveExitMachWorked : public testing::TestWithParam<SolveRow> {};

TEST_P(SolveExitMachWorked, SearchAndMarchGiveThePublishedGridPoint) {
  const SolveRow& row = GetParam();
  for (const ExitMachSolution& s : {SolveExitMach(kDefaultK, row.m1, row.c1),
                                    SolveExitMachByMarch(kDefaultK, row.m1, row.c1)}) {
    EXPECT_EQ(s.choked, row.choked);
    EXPECT_EQ(s.steps, row.steps);
    if (!row.choked) {
      EXPECT_EQ(s.m2, row.m2);
      EXPECT_EQ(s.c2, row.c2);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Published, SolveExitMachWorked,
    testing::Values(SolveRow{"DefaultRun", kDefaultM1, kDefaultC1, false, 4414054,
                             0.8622256174396592, 2.091181820614798},
                    SolveRow{"LowInletMach", 0.042082021762804185, kDefaultC1, false, 1027,
                             0.04218472176280714, 2.091995049223812},
                    SolveRow{"PipeOf100ftChokes", kDefaultM1, kDefaultC1 * 100 / 70, true, 5791798,
                             0, 0},
                    SolveRow{"ShortPipeStopsAtOnce", kDefaultM1, 1e-6, false, 0, kDefaultM1, 0.0},
                    SolveRow{"ZeroLength", kDefaultM1, 0.0, false, 0, kDefaultM1, 0.0}),
    [](const testing::TestParamInfo<SolveRow>& info) { return info.param.name; });

const MaxFlowInputs kDefaultFlowInputs{1.31, 18.02, 740, 986, 0.975, 6.0, 0.00015, 70.0};

TEST(MaxFlow, DefaultRunStopsAtThePublishedRunningSum) {
  const MaxFlowSearch fast = SearchMaxFlow(kDefaultFlowInputs);
  EXPECT_EQ(fast.outcome, MaxFlowSearch::Outcome::Found);
  EXPECT_EQ(fast.steps, 6027773u);
  EXPECT_EQ(fast.flow, 602877.2999314377);
  const MaxFlowSearch plain = MaxFlowByMarch(kDefaultFlowInputs, 10'000'000);
  EXPECT_EQ(plain.steps, fast.steps);
  EXPECT_EQ(plain.flow, fast.flow);
}

TEST(MaxFlow, LargeNaturalGasLineNeedsNoWalk) {
  // 46-inch line: far over 200 million additions for the plain march.
  const MaxFlowInputs gasLine{1.27, 17.4, 1000, 60, 0.9, 46.0, 0.00015, 70.0};
  const MaxFlowSearch s = SearchMaxFlow(gasLine);
  ASSERT_EQ(s.outcome, MaxFlowSearch::Outcome::Found);
  EXPECT_GT(s.steps, 229'000'000u);
}

TEST(MaxFlow, EndsWhereTheRunningSumStopsGrowingBelowMachOne) {
  // So wide a pipe stays far below Mach 1 until 0.1 is lost in the rounding of
  // the running sum; the plain march would never end there.
  MaxFlowInputs hugePipe = kDefaultFlowInputs;
  hugePipe.d = 1e9;
  const MaxFlowSearch s = SearchMaxFlow(hugePipe);
  EXPECT_EQ(s.outcome, MaxFlowSearch::Outcome::Unreachable);
  EXPECT_GT(s.steps, 1'000'000'000'000'000u);
}

TEST(MaxFlow, EndsOnInputsTheCalculationRefuses) {
  MaxFlowInputs negativeLength = kDefaultFlowInputs, absoluteZero = kDefaultFlowInputs;
  negativeLength.l = -70;  // C1 < 0: the choking term never comes within reach
  absoluteZero.t1 = -459.67;
  EXPECT_EQ(SearchMaxFlow(negativeLength).outcome, MaxFlowSearch::Outcome::Unreachable);
  EXPECT_NE(SearchMaxFlow(absoluteZero).outcome, MaxFlowSearch::Outcome::Found);
}

}  // namespace
