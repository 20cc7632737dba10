#include "engineering/solve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "calc/field_names.h"
#include "engineering/input_error.h"
#include "tests/engineering/message_of.h"

namespace {

using Edits = std::vector<std::pair<FieldRef, const char*>>;

struct SolveRow {
  const char* name;
  Edits edits;
  const char* forKey;
  std::vector<std::string> targets;
  const char* schedule;
  const char* answer;  // the answer's text, or "" for none
  const char* limit;
  const char* warning;  // the start of the warning, or ""
};
void PrintTo(const SolveRow& row, std::ostream* out) {
  *out << row.name;
}

std::string MessageOfSetup(const char* forKey, const char* target, UnitSystem units) {
  return MessageOf([&] { ParseSolveSetup(forKey, {target}, "", {}, units); });
}

RunRecord Edited(const Edits& edits) {
  RunRecord run = DefaultRunRecord({});
  for (const auto& [field, text] : edits) Text(run, field) = text;
  return run;
}

Calculated CalculatedWith(RunRecord run, FieldRef field, const std::string& text) {
  Text(run, field) = text;
  return CalculateQuietly(run, {});
}

bool MeetsBounds(const SolveSetup& setup, const Calculated& calculated) {
  for (const Target& target : setup.targets) {
    const auto value = TargetValue(target, calculated);
    if (!value || (target.relation != Relation::kNearest && !Meets(target, *value))) return false;
  }
  return true;
}

// How far a run's result lies from the "=" target; infinite where it has none.
double Miss(const SolveSetup& setup, const Calculated& calculated) {
  for (const Target& target : setup.targets) {
    if (target.relation != Relation::kNearest) continue;
    const auto value = TargetValue(target, calculated);
    return MeetsBounds(setup, calculated) && value ? std::fabs(*value - target.bound) : INFINITY;
  }
  return 0;
}

// The grid inputs on either side of an answer: a millionth away, or the
// neighbouring sizes of its schedule.
std::vector<std::string> GridSides(const SolveSetup& setup, const SolveResult& result) {
  if (setup.schedule.empty()) {
    return {FormatByPattern(result.value - 1e-6, kInputPattern),
            FormatByPattern(result.value + 1e-6, kInputPattern)};
  }
  std::vector<std::string> sides;
  const std::vector<PipeSize> sizes = ScheduleSizes(setup.schedule);
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (sizes[i].InsideMils() != result.pipe->InsideMils()) continue;
    if (i > 0) sides.push_back(FormatByPattern(sizes[i - 1].InsideDiameter(), kInputPattern));
    if (i + 1 < sizes.size()) {
      sides.push_back(FormatByPattern(sizes[i + 1].InsideDiameter(), kInputPattern));
    }
  }
  return sides;
}

class Solves : public testing::TestWithParam<SolveRow> {};

// The answer and its neighbour, each checked by a plain Calculate: the answer
// meets every bound, the neighbour does not (or is no nearer to a "=").
TEST_P(Solves, AnswerMeetsTheTargetsAndItsNeighbourDoesNot) {
  const SolveRow& row = GetParam();
  const RunRecord run = Edited(row.edits);
  const SolveSetup setup = ParseSolveSetup(row.forKey, row.targets, row.schedule, {});
  const SolveResult result = Solve(run, setup, {});
  EXPECT_EQ(result.text, row.answer);
  EXPECT_EQ(result.limit, row.limit);
  EXPECT_EQ(result.warning.substr(0, std::string(row.warning).size()), row.warning);
  EXPECT_LE(result.calculates, 100);
  if (!result.found) return;
  const FieldRef field = setup.input->field;
  const Calculated answer = CalculatedWith(run, field, result.text);
  EXPECT_EQ(answer.outcome, result.calculated.outcome);
  EXPECT_TRUE(MeetsBounds(setup, answer));
  const std::vector<std::string> sides = GridSides(setup, result);
  if (result.neighbour) {
    const bool smallerSide = result.neighbour->value < result.value;
    EXPECT_EQ(result.neighbour->text, sides.at(smallerSide ? 0 : 1));
    const Calculated next = CalculatedWith(run, field, result.neighbour->text);
    const bool nearest = setup.targets.back().relation == Relation::kNearest;
    EXPECT_TRUE(nearest ? Miss(setup, next) >= Miss(setup, answer) : !MeetsBounds(setup, next));
  }
  for (const std::string& side : sides) {
    EXPECT_GE(Miss(setup, CalculatedWith(run, field, side)), Miss(setup, answer)) << side;
  }
}

const Edits kDefault{};
const Edits k450000{{kFlow, "450,000"}};
const Edits k100000{{kFlow, "100,000"}};
const char kExitChoke[] = "Exit Mach Number Should be <= 1.0. Invalid Results!";

// clang-format off
const SolveRow kSolves[] = {
    {"DiameterForADrop", k450000, "d", {"dpc<=100"}, "", "6.246672", "", ""},
    {"FlowForAnExitPressure", kDefault, "w", {"p2>=500"}, "", "549,005.580613", "", ""},
    {"FlowUpToTheChoke", kDefault, "w", {"p2>=100"}, "", "602,886.194753", "chokes beyond 602,886.194753 lb/hr", ""},
    {"FlowForVelocityAndDrop", kDefault, "w", {"v2<=150", "dpc<=5"}, "", "93,150.310684", "", ""},
    {"LengthForAnExitMach", kDefault, "l", {"m2<=0.7"}, "", "63.467905", "", ""},
    {"LengthBelowAnExitMach", kDefault, "l", {"m2 < 0.7"}, "", "63.467905", "", ""},
    {"LengthToTheEndOfTheGrid", {{kFlow, "0.000001"}}, "l", {"m2<=0.5"}, "", "999,999,999.999999", "the input grid ends at 999,999,999.999999 ft", ""},
    {"InletPressureForAnOutlet", kDefault, "p1", {"p2>=300"}, "", "736.507586", "", ""},
    {"DiameterForMomentumFlux", kDefault, "d", {"RV2<=5000"}, "", "21.439214", "", ""},
    {"DiameterNearestAnExitPressure", kDefault, "d", {"p2=500"}, "", "6.220772", "", ""},
    {"LengthNearestAnExitPressure", kDefault, "l", {"p2=500"}, "", "55.044036", "", ""},
    {"InletPressureNearestBeforeTheChoke", k100000, "p1", {"p2=30"}, "", "122.742901", "chokes below 122.742901 psia", ""},
    {"InletPressureNearestAnOutlet", k100000, "p1", {"p2=60"}, "", "123.663813", "", ""},
    {"ScheduleForADrop", k450000, "d", {"dpc<=100"}, "40", "7.981", "", ""},
    {"ScheduleUpToTheChoke", k450000, "d", {"dpc<=100"}, "xxs", "6.875", "chokes below NPS 8 XXS (6.875 in.)", ""},
    {"ScheduleNearestAnExitPressure", kDefault, "d", {"p2=500"}, "STD", "6.065", "", ""},
    {"RoughnessTurnsTheFrictionFactor", {{kFlow, "0.000001"}, {kRoughness, "0.01"}, {kLength, "0.001"}}, "d", {"f<=0.05"}, "", "0.000013", "chokes below 0.000013 in.", "the targets hold at 48 in., fail at 3 in. and hold again at 0.000183 in."},
    {"NoDiameterUpTo48", k450000, "d", {"dpc<=0.0001"}, "", "", "no diameter up to 48 in. meets dpc<=0.0001", ""},
    {"NoScheduleSize", k450000, "d", {"dpc<=0.0001"}, "40", "", "no schedule 40 pipe up to NPS 36 meets dpc<=0.0001", ""},
    {"NoLengthBeforeTheChoke", kDefault, "l", {"m2<=0.3"}, "", "", "no length up to the choking length, 71.1 ft, meets m2<=0.3", ""},
    {"ChokesAtTheLargestDiameter", {{kFlow, "200,000,000"}}, "d", {"dpc<=100"}, "", "", "chokes even at 48 in.", ""},
    {"RefusedEverywhere", {{kRatioK, "1"}}, "w", {"p2>=500"}, "", "", "k, Cp/Cv Should be > 1. Please Check the Inputs", ""},
    {"ExitPressureNeverReached", kDefault, "d", {"p2=800"}, "", "", "p2 does not reach 800: of the inputs tried it comes nearest at 48 in. (p2 = 739.9887458836029), and a sweep over d shows how it varies", ""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, Solves, testing::ValuesIn(kSolves),
                         [](const testing::TestParamInfo<SolveRow>& info) {
                           return info.param.name;
                         });

TEST(Solve, NeighbourSaysWhyItFails) {
  const SolveSetup choke = ParseSolveSetup("w", {"p2>=100"}, "", {});
  EXPECT_EQ(Solve(DefaultRunRecord({}), choke, {}).neighbour->why, kExitChoke);
  const SolveSetup bound = ParseSolveSetup("d", {"dpc<=100"}, "", {});
  EXPECT_EQ(Solve(Edited(k450000), bound, {}).neighbour->why,
            "dpc = 100.00007197365358 fails dpc<=100");
}

TEST(Solve, ContinentalSymbolsReadAndWriteTheSameAnswer) {
  const NumberSymbols continental{",", "."};
  RunRecord run = DefaultRunRecord(continental);
  Text(run, kFlow) = "450.000";
  const SolveSetup setup = ParseSolveSetup("d", {"dpc<=99,5"}, "", continental);
  const SolveResult result = Solve(run, setup, continental);
  EXPECT_EQ(setup.targets[0].bound, 99.5);
  EXPECT_EQ(result.text.find(','), 1u);  // "6,2...": the decimal comma
}

// A preparation that lengthens every candidate's pipe and finds the flow
// unable to enter it above 500,000 lb/hr: the solve calculates the prepared
// runs and takes the refusal as a choke, with its reason.
TEST(Solve, PreparesEveryCandidate) {
  SolveSetup setup = ParseSolveSetup("w", {"p2>=100"}, "", {});
  setup.prepare = [](RunRecord& run) -> std::optional<std::string> {
    Text(run, kLength) = "40";
    if (*TextToNumber(Text(run, kFlow)) > 500000) return std::string("the entrance chokes");
    return std::nullopt;
  };
  const SolveResult result = Solve(DefaultRunRecord({}), setup, {});
  EXPECT_EQ(result.text, "500,000.");
  EXPECT_EQ(Text(result.run, kLength), "40");
  EXPECT_EQ(result.calculated.outcome, CalculatedWith(result.run, kFlow, "500,000.").outcome);
  EXPECT_EQ(result.neighbour->why, "the entrance chokes");
  EXPECT_EQ(result.limit, "chokes beyond 500,000 lb/hr");
}

// Targets read in SI and messages written in SI: 689.4757293168361 kPa is
// 100 psi.
TEST(Solve, TargetsAndMessagesInSi) {
  const SolveSetup setup = ParseSolveSetup("d", {"dpc<=689.4757293168361"}, "", {}, UnitSystem::Si);
  EXPECT_NEAR(setup.targets[0].bound, 100, 1e-12);
  const SolveResult result = Solve(Edited(k450000), setup, {});
  EXPECT_EQ(result.text, "6.246672");
  EXPECT_EQ(result.neighbour->why.substr(0, 15), "dpc = 689.47622");
  const SolveSetup none = ParseSolveSetup("d", {"dpc<=0.0001"}, "", {}, UnitSystem::Si);
  EXPECT_EQ(Solve(Edited(k450000), none, {}).limit,
            "no diameter up to 1,219.2 mm meets dpc<=0.0001");
  EXPECT_EQ(MessageOfSetup("l", "t2>=-300", UnitSystem::Si),
            "Exit Temperature, C: -300 is at or below absolute zero");
}

struct BadRow {
  const char* name;
  const char* forKey;
  std::vector<std::string> targets;
  const char* schedule;
  const char* message;
};

const char kFreeInputs[] =
    "the free input is one of w (flow), d (diameter), l (length) or p1 (inlet pressure)";

// clang-format off
const BadRow kBad[] = {
    {"NotAFreeInput", "t1", {"p2>=5"}, "", "cannot solve for \"t1\": "},
    {"NoFreeInput", "", {"p2>=5"}, "", "cannot solve for \"\": "},
    {"NoRelation", "d", {"p2"}, "", "\"p2\" is not a condition: write KEY<=NUMBER, KEY>=NUMBER, KEY<NUMBER, KEY>NUMBER or KEY=NUMBER, such as dpc<=100"},
    {"NoKey", "d", {"<=5"}, "", "\"<=5\" is not a condition: write KEY<=NUMBER, KEY>=NUMBER, KEY<NUMBER, KEY>NUMBER or KEY=NUMBER, such as dpc<=100"},
    {"DoubledSign", "d", {"p2>>5"}, "", "\"p2>>5\": \">5\" is not a number"},
    {"NoNumber", "d", {"p2>="}, "", "\"p2>=\": \"\" is not a number"},
    {"UnknownKey", "d", {"zz<=5"}, "", "\"zz<=5\": no result has the key \"zz\" (f, rho1, sv1, v1, cs1, m1, p2, t2, w2, rho2, sv2, v2, cs2, m2, dpc, dpi, t0, p0, lmax, wmax, fld1, fld2, mchk, rv2)"},
    {"AnInput", "d", {"p1<=5"}, "", "\"p1<=5\": p1 is an input (Initia, psia), and a target bounds a result"},
    {"AText", "d", {"gas=Steam"}, "", "\"gas=Steam\": gas is a text (Gas Type), and a target bounds a result"},
    {"NoTarget", "d", {}, "", "no target given: a solve needs a condition such as dpc<=100"},
    {"TwoEqualities", "d", {"p2=5", "t2=5"}, "", "only one target can be \"=\": one free input brings one result to a value"},
    {"UnknownSchedule", "d", {"p2>=5"}, "41", "\"41\" is not a pipe schedule: choose one of 10, 40, 80, 160, STD, XS, XXS, 5S, 10S, 40S, 80S"},
    {"ScheduleForALength", "l", {"p2>=5"}, "40", "a pipe schedule picks a diameter: solve for d"},
};
// clang-format on

TEST(SolveSetup, RefusesWithAMessage) {
  for (const BadRow& row : kBad) {
    try {
      ParseSolveSetup(row.forKey, row.targets, row.schedule, {});
      ADD_FAILURE() << row.name << ": accepted";
    } catch (const InputError& error) {
      std::string expected = row.message;
      if (expected.back() == ' ') expected += kFreeInputs;
      EXPECT_EQ(error.what(), expected) << row.name;
    }
  }
}

}  // namespace
