#include "calc/calculate.h"

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

#include "calc/field_names.h"
#include "tests/core/calc_test_support.h"

namespace {

RunRecord Calculated(RunRecord run, RecordingHost& host, CalcOutcome* outcome = nullptr) {
  const CalcOutcome ended = CalculateRun(run, host);
  if (outcome) *outcome = ended;
  return run;
}

std::vector<std::string> ResultTexts(const RunRecord& run) {
  std::vector<std::string> texts;
  for (const FieldInfo& field : FieldTable()) {
    if (field.isResult) texts.push_back(Text(run, field.ref));
  }
  return texts;
}

int WrittenResults(const RunRecord& run) {
  int count = 0;
  for (const std::string& text : ResultTexts(run)) count += !text.empty();
  return count;
}

const std::vector<std::string> kDefaultResults{
    "0.014937", "0.882324",  "1.133371",   "961.476367", "2,284.767526", "0.42082",
    "346.66",   "872.21",    "600,000",    "0.449109",   "2.226631",     "1,888.93",
    "2,193.0",  "0.862226",  "393.339088", "184.340013", "1,025.68",     "829.71",
    "71.1",     "602,877.3", "2.091183",   "2.091182",   "0.861341"};

TEST(DefaultRun, WritesEveryResultAsPublished) {
  RecordingHost host;
  const RunRecord run = Calculated(RunRecord{}, host);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(ResultTexts(run), kDefaultResults);
  EXPECT_EQ(host.busyCount, 1);
  EXPECT_EQ(host.busyDepth, 0);
  EXPECT_EQ(host.repaints, 2);  // emptied results, then the inlet group
}

TEST(DefaultRun, ContinentalSymbolsGiveTheSameNumbers) {
  const NumberSymbols continental{",", "."};
  RecordingHost host(continental);
  const RunRecord run = Calculated(DefaultRunRecord(continental), host);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(Text(run, kFlow), "600.000");
  EXPECT_EQ(Text(run, kSonicVelocity1), "2.284,767526");
  EXPECT_EQ(Text(run, kMaxFlow), "602.877,3");
  EXPECT_EQ(Text(run, kMach2), "0,862226");
}

using Edit = std::pair<FieldRef, const char*>;

struct EndRow {
  const char* name;
  std::vector<Edit> edits;
  CalcOutcome outcome;
  const char* message;  // "" when the run completes silently
  int written;          // results written when it ends
  FieldRef probe;       // one result to look at, with its expected text
  const char* probeText;
};
void PrintTo(const EndRow& row, std::ostream* out) {
  *out << row.name;
}

class CalculationEnds : public testing::TestWithParam<EndRow> {};

TEST_P(CalculationEnds, LeaveTheResultsWrittenBeforeTheEnd) {
  const EndRow& row = GetParam();
  RecordingHost host;
  RunRecord before = Calculated(RunRecord{}, host);  // a previous run's results on screen
  for (const auto& [field, text] : row.edits) Text(before, field) = text;
  host.messages.clear();
  CalcOutcome outcome;
  const RunRecord run = Calculated(before, host, &outcome);
  EXPECT_EQ(outcome, row.outcome);
  EXPECT_EQ(host.messages,
            *row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{});
  EXPECT_EQ(WrittenResults(run), row.written);
  EXPECT_EQ(Text(run, row.probe), row.probeText);
  EXPECT_EQ(host.busyDepth, 0);
  EXPECT_TRUE(host.busyWhileMessage);
  for (const FieldInfo& field : FieldTable()) {
    if (!field.isResult) {
      EXPECT_EQ(Text(run, field.ref), Text(before, field.ref));
    }
  }
}

using E = CalcEnd;
const CalcOutcome kComplete{};
const char kShortRun[] =
    "Initial Mach Number Should be < 1.0. Couldn't Compute Maximum Pipe Length";
const char kInletNotSubsonic[] = "Initial Mach Number Should be < 1.0. Please Check the Inputs";

// clang-format off
const EndRow kEnds[] = {
    {"LowInletMach", {{kFlow, "60,000"}}, kComplete, "", 23, kFrictionParameter2, "2.091995"},
    {"InletMachJustAboveOne", {{kFlow, "1,425,865"}}, {E::kInletMachNotBelowOne, kMach1}, kInletNotSubsonic, 7, kMach1, "1.000055"},
    {"InletMachExactlyOne", {{kTemperature1, "986.000923"}, {kFlow, "1,425,786.555229"}}, {E::kInletMachNotBelowOne, kMach1}, kInletNotSubsonic, 7, kMach1, "1.0"},
    {"GasBelowZeroF", {{kTemperature1, "-100"}}, kComplete, "", 23, kTemperature2, "-100.36"},
    {"InletMachAboveOne", {{kFlow, "2,000,000"}}, {E::kInletMachNotBelowOne, kMach1}, kInletNotSubsonic, 7, kMach1, "1.402734"},
    {"ExitMachPassesOne", {{kLength, "100"}}, {E::kExitMachPassesOne, kMach2}, "Exit Mach Number Should be <= 1.0. Invalid Results!", 7, kIncompressibleLoss, "263.342875"},
    {"ZeroLength", {{kLength, "0"}}, kComplete, "", 23, kMach2, "0.42082"},
    {"FlowBelowFirstCandidateChokesThere", {{kDiameter, "0.1"}, {kPressure1, "1"}, {kFlow, "0.1"}, {kLength, "0.001"}}, {E::kMaxFlowChokedAtStart, kMaxFlow}, kShortRun, 23, kMaxFlow, "0.0"},
    {"PipeChokesAtFirstCandidate", {{kDiameter, "0.1"}, {kPressure1, "200"}, {kFlow, "50"}, {kLength, "0.09"}}, kComplete, "", 23, kMaxFlow, "100.0"},
    {"NonNumericK", {{kRatioK, "abc"}}, {E::kNotNumeric, kRatioK}, "k, Cp/Cv Is Not a Numeric Value. Please Check the Inputs", 0, kDensity1, ""},
    {"KOfOne", {{kRatioK, "1"}}, {E::kNotAboveOne, kRatioK}, "k, Cp/Cv Should be > 1. Please Check the Inputs", 0, kDensity1, ""},
    {"ZeroMolWeight", {{kMolWeight, "0"}}, {E::kNotPositive, kMolWeight}, "Mol. Wt., lb/lb-mole Should be > 0. Please Check the Inputs", 0, kDensity1, ""},
    {"AbsoluteZero", {{kTemperature1, "-459.67"}}, {E::kNotAboveAbsoluteZero, kTemperature1}, "Initial Temp, F Should be > -459.67. Please Check the Inputs", 0, kDensity1, ""},
    {"EmptyFlow", {{kFlow, ""}}, {E::kNotNumeric, kFlow}, "Flow Rate, lb/hr Is Not a Numeric Value. Please Check the Inputs", 0, kDensity1, ""},
    {"ZeroDiameter", {{kDiameter, "0"}}, {E::kNotPositive, kDiameter}, "Pipe Diameter, in. Should be > 0. Please Check the Inputs", 0, kDensity1, ""},
    {"ZeroRoughness", {{kRoughness, "0."}}, {E::kNotPositive, kRoughness}, "Pipe Roughness, ft Should be > 0. Please Check the Inputs", 0, kDensity1, ""},
    {"RoughnessOf3_7Diameters", {{kDiameter, "12"}, {kRoughness, "3.7"}}, {E::kRoughnessAtDiameterLimit, kRoughness}, "Pipe Roughness, ft Should be Other Than 3.7 Times the Diameter in ft. Please Check the Inputs", 0, kDensity1, ""},
    {"NegativeLength", {{kLength, "-70"}}, {E::kNegative, kLength}, "Pipe Total Equivalent Length, ft Should be >= 0. Please Check the Inputs", 0, kDensity1, ""},
    {"ZeroExitCompressibilityAfterTheSolution", {{kZ2, "0"}}, {E::kNotPositive, kZ2}, "Exit Compressibility Should be > 0. Please Check the Inputs", 7, kPressure2, ""},
    {"OverflowingLossIsNotShownAsInfinity", {{kFlow, "1e300"}}, {E::kNotComputed, kIncompressibleLoss}, "Incompressible Pr. Loss, psi Could Not be Computed. Please Check the Inputs", 6, kFrictionFactor, "0.014937"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Runs, CalculationEnds, testing::ValuesIn(kEnds),
                         [](const testing::TestParamInfo<EndRow>& info) {
                           return info.param.name;
                         });

}  // namespace
