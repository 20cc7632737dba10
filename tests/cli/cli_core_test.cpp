// The command line's own logic below the argument parsing: the pipe profile
// against the calculation it repeats, sweeps whatever the thread count, and
// the number texts that scripts read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cli/profile.h"
#include "cli/session.h"
#include "cli/sweep.h"

namespace {

const NumberSymbols kUs{};

RunRecord WithLength(const std::string& length) {
  RunRecord run = DefaultRunRecord(kUs);
  Text(run, FieldRef{BoxArray::Pipe, 2}) = length;
  return run;
}

// The last station is the calculated run itself, character for character and
// value for unrounded value, whether or not the length divides evenly into the
// intervals.
TEST(Profile, LastStationIsTheCalculatedRun) {
  const struct {
    const char* length;
    int intervals;
  } rows[] = {{"70.0", 50}, {"33.3", 7}, {"0", 3}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.length);
    const RunRecord run = WithLength(row.length);
    RunRecord calculated = run;
    const Calculated done = Calculate(calculated, kUs);
    ASSERT_TRUE(done.outcome.Complete());
    const Profile profile = CalculateProfile(run, row.intervals, kUs);
    ASSERT_TRUE(profile.stop.empty());
    ASSERT_EQ(profile.stations.size(), static_cast<std::size_t>(row.intervals + 1));
    const Row& last = profile.stations.back();
    EXPECT_EQ(last[1].text, row.length);
    for (std::size_t c = 0; c < StationColumns().size(); ++c) {
      const FieldRef ref = StationColumns()[c].ref;
      EXPECT_EQ(last[c + 2].text, Text(calculated, ref)) << last[c + 2].key;
      EXPECT_EQ(last[c + 2].value, done.values.Of(ref)) << last[c + 2].key;
    }
  }
}

// A pipe longer than its maximum length gives the stations below Mach 1 and
// says where the flow chokes.
TEST(Profile, StopsWhereThePipeChokes) {
  const Profile profile = CalculateProfile(WithLength("100"), 10, kUs);
  ASSERT_EQ(profile.stations.size(), 8u);  // 0 to 70 ft; Lmax is 71.1 ft
  EXPECT_EQ(profile.stations.back()[1].text, "70.");
  for (const Row& station : profile.stations) EXPECT_LT(*station[7].value, 1.0);
  EXPECT_NE(profile.stop.find("chokes before its end"), std::string::npos) << profile.stop;
  EXPECT_NE(profile.stop.find("71.1 ft"), std::string::npos) << profile.stop;
}

std::string SweepText(SweepRequest request, unsigned threads, SweepTotals& totals) {
  request.threads = threads;
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  totals = RunSweep(request, out, {});
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

// More points than one chunk, some of them choking: the rows, their order and
// the counts do not depend on the threads.
TEST(Sweep, SameOutputWhateverTheThreads) {
  SweepRequest request;
  request.base = DefaultRunRecord(kUs);
  request.axes = {ParseAxis("l=10:90:1201", false, kUs)};
  request.plotKeys = {FieldRef{BoxArray::Exit, 0}};
  for (Format format : {Format::Csv, Format::Json}) {
    request.format = format;
    SweepTotals one, three;
    const std::string single = SweepText(request, 1, one);
    EXPECT_EQ(SweepText(request, 3, three), single);
    EXPECT_EQ(one.points, 1201);
    EXPECT_EQ(three.endedWithMessage, one.endedWithMessage);
    EXPECT_GT(one.endedWithMessage, 0);
    ASSERT_EQ(three.plotValues.size(), 1201u);
    EXPECT_TRUE(std::isnan(three.plotValues.back()));  // choked: no exit pressure
  }
}

TEST(SweepAxis, EndsExactlyAndSpacesByStepOrRatio) {
  const SweepAxis linear = ParseAxis("w=0.1:0.7:7", false, kUs);
  EXPECT_EQ(linear.At(0), 0.1);
  EXPECT_EQ(linear.At(6), 0.7);
  EXPECT_DOUBLE_EQ(linear.At(3), 0.4);
  const SweepAxis log = ParseAxis("e=1e-5:1e-3:3", true, kUs);
  EXPECT_DOUBLE_EQ(log.At(1), 1e-4);
  EXPECT_EQ(log.At(2), 1e-3);
  EXPECT_EQ(ParseAxis("l=5:9:1", false, kUs).At(0), 5);
}

TEST(SweepAxis, RefusesWhatCannotBeSwept) {
  const struct {
    const char* argument;
    bool log;
  } rows[] = {{"q=1:2:3", false},   {"w=1:2", false},    {"w=1:2:0", false},   {"w=a:2:3", false},
              {"w=1:2:3:4", false}, {"p2=1:2:3", false}, {"gas=1:2:3", false}, {"w=0:2:3", true}};
  for (const auto& row : rows) {
    EXPECT_THROW(ParseAxis(row.argument, row.log, kUs), UsageError) << row.argument;
  }
}

// Keys, and captions where only one field carries them.
TEST(Fields, FoundByKeyOrUniqueCaption) {
  const struct {
    const char* name;
    const char* key;  // nullptr: not found
  } rows[] = {{"cs1", "cs1"},
              {"fld1", "fld1"},
              {"Pipe Diameter, in.", "d"},
              {"C1", nullptr},
              {"c1", nullptr},
              {"Flow Rate, lb/hr", nullptr},
              {"Exit Mach Number", nullptr}};
  for (const auto& row : rows) {
    const CliField* field = FindField(row.name);
    EXPECT_EQ(field ? field->key : "(none)", row.key ? row.key : "(none)") << row.name;
  }
}

TEST(ShortestText, ReadsBackToTheSameDouble) {
  for (double value : {0.1, 600000.0, 1e-7, 2284.7675257787773, -3.5, 1e22, 0.0}) {
    const std::string text = ShortestText(value);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
  }
  EXPECT_EQ(ShortestText(600000), "600000");
  EXPECT_EQ(ShortestText(0.000001), "0.000001");
}

TEST(Csv, QuotesOnlyWhatNeedsIt) {
  const Row row{TextCell("desc", "Line \"7\",\nheader"), NumberCell("w", "600,000", kUs),
                NumberCell("p2", "", kUs)};
  EXPECT_EQ(CsvHeader(row), "desc,w,w_value,p2,p2_value\r\n");
  EXPECT_EQ(CsvRecord(row), "\"Line \"\"7\"\",\nheader\",\"600,000\",600000,,\r\n");
}

}  // namespace
