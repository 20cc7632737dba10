#include "calc/calculate.h"

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

#include "tests/core/calc_test_support.h"

namespace {

RunRecord Calculated(RunRecord run, RecordingHost& host) {
  CalculateRun(run, host);
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
  EXPECT_EQ(run.input[2], "600.000");
  EXPECT_EQ(run.input[7], "2.284,767526");
  EXPECT_EQ(run.limiting[1], "602.877,3");
  EXPECT_EQ(run.exit[8], "0,862226");
}

using Edit = std::pair<FieldRef, const char*>;
constexpr BoxArray kGas = BoxArray::Gas, kPipe = BoxArray::Pipe, kInput = BoxArray::Input;

struct EndRow {
  const char* name;
  std::vector<Edit> edits;
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
  const RunRecord run = Calculated(before, host);
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

const FieldRef kDensity{kInput, 4};
const char kShortRun[] =
    "Initial Mach Number Should be < 1.0. Couldn't Compute Maximum Pipe Length";

// clang-format off
const EndRow kEnds[] = {
    {"LowInletMach", {{{kInput, 2}, "60,000"}}, "", 23, {BoxArray::Check, 1}, "2.091995"},
    {"InletMachJustAboveOne", {{{kInput, 2}, "1,425,865"}}, "Initial Mach Number Should be < 1.0. Please Check the Inputs", 7, {kInput, 8}, "1.000055"},
    {"GasBelowZeroF", {{{kInput, 1}, "-100"}}, "", 23, {BoxArray::Exit, 1}, "-100.36"},
    {"InletMachAboveOne", {{{kInput, 2}, "2,000,000"}}, "Initial Mach Number Should be < 1.0. Please Check the Inputs", 7, {kInput, 8}, "1.402734"},
    {"ExitMachPassesOne", {{{kPipe, 2}, "100"}}, "Exit Mach Number Should be <= 1.0. Invalid Results!", 7, {BoxArray::PressureLoss, 1}, "263.342875"},
    {"ZeroLength", {{{kPipe, 2}, "0"}}, "", 23, {BoxArray::Exit, 8}, "0.42082"},
    {"FlowBelowFirstCandidateChokesThere", {{{kPipe, 0}, "0.1"}, {{kInput, 0}, "1"}, {{kInput, 2}, "0.1"}, {{kPipe, 2}, "0.001"}}, kShortRun, 23, {BoxArray::Limiting, 1}, "0.0"},
    {"PipeChokesAtFirstCandidate", {{{kPipe, 0}, "0.1"}, {{kInput, 0}, "200"}, {{kInput, 2}, "50"}, {{kPipe, 2}, "0.09"}}, "", 23, {BoxArray::Limiting, 1}, "100.0"},
    {"NonNumericK", {{{kGas, 2}, "abc"}}, "k, Cp/Cv Is Not a Numeric Value. Please Check the Inputs", 0, kDensity, ""},
    {"KOfOne", {{{kGas, 2}, "1"}}, "k, Cp/Cv Should be > 1. Please Check the Inputs", 0, kDensity, ""},
    {"ZeroMolWeight", {{{kGas, 1}, "0"}}, "Mol. Wt., lb/lb-mole Should be > 0. Please Check the Inputs", 0, kDensity, ""},
    {"AbsoluteZero", {{{kInput, 1}, "-459.67"}}, "Initial Temp, F Should be > -459.67. Please Check the Inputs", 0, kDensity, ""},
    {"EmptyFlow", {{{kInput, 2}, ""}}, "Flow Rate, lb/hr Is Not a Numeric Value. Please Check the Inputs", 0, kDensity, ""},
    {"ZeroDiameter", {{{kPipe, 0}, "0"}}, "Pipe Diameter, in. Should be > 0. Please Check the Inputs", 0, kDensity, ""},
    {"ZeroRoughness", {{{kPipe, 1}, "0."}}, "Pipe Roughness, ft Should be > 0. Please Check the Inputs", 0, kDensity, ""},
    {"RoughnessOf3_7Diameters", {{{kPipe, 0}, "12"}, {{kPipe, 1}, "3.7"}}, "Pipe Roughness, ft Should be Other Than 3.7 Times the Diameter in ft. Please Check the Inputs", 0, kDensity, ""},
    {"NegativeLength", {{{kPipe, 2}, "-70"}}, "Pipe Total Equivalent Length, ft Should be >= 0. Please Check the Inputs", 0, kDensity, ""},
    {"ZeroExitCompressibilityAfterTheSolution", {{{BoxArray::Exit, 3}, "0"}}, "Exit Compressibility Should be > 0. Please Check the Inputs", 7, {BoxArray::Exit, 0}, ""},
    {"OverflowingLossIsNotShownAsInfinity", {{{kInput, 2}, "1e300"}}, "Incompressible Pr. Loss, psi Could Not be Computed. Please Check the Inputs", 6, {kPipe, 3}, "0.014937"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Runs, CalculationEnds, testing::ValuesIn(kEnds),
                         [](const testing::TestParamInfo<EndRow>& info) {
                           return info.param.name;
                         });

}  // namespace
