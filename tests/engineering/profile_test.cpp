// The pipe profile against the calculation it repeats: its ends are the
// run's inlet and exit states and the compressibility between them follows
// the pressure. (A pipe that chokes: the command line's profile_choked case.)
#include "engineering/profile.h"

#include <gtest/gtest.h>

#include "calc/field_names.h"

namespace {

const NumberSymbols kUs{};

RunRecord WithLength(const std::string& length) {
  RunRecord run = DefaultRunRecord(kUs);
  Text(run, kLength) = length;
  return run;
}

// Station 0 is the inlet state and the last station the calculated run's
// exit state, character for character and value for unrounded value, whether
// or not the length divides evenly into the intervals.
TEST(Profile, EndsAreTheInletAndExitStates) {
  const struct {
    const char* length;
    int intervals;
  } rows[] = {{"70.0", 50}, {"33.3", 7}, {"0", 3}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.length);
    const RunRecord run = WithLength(row.length);
    RunRecord calculated = run;
    const Calculated done = CalculateQuietly(calculated, kUs);
    ASSERT_TRUE(done.outcome.Complete());
    const Profile profile = CalculateProfile(run, row.intervals, kUs);
    ASSERT_TRUE(profile.stop.empty());
    ASSERT_EQ(profile.stations.size(), static_cast<std::size_t>(row.intervals + 1));
    EXPECT_EQ(Text(profile.stations.back().run, kLength), row.length);
    for (const StationColumn& column : StationColumns()) {
      if (std::string(column.key) == "fld") continue;  // no inlet field: zero there
      const StationValue first = ValueAt(profile.stations.front(), column, kUs);
      const StationValue last = ValueAt(profile.stations.back(), column, kUs);
      EXPECT_EQ(first.text, Text(calculated, column.inlet)) << column.key;
      EXPECT_EQ(last.text, Text(calculated, column.exit)) << column.key;
      EXPECT_EQ(last.value, done.values.Of(column.exit)) << column.key;
    }
  }
}

// Between the ends the exit compressibility follows the pressure: a station
// at mid pressure has Z midway between Z1 and Z2, so its density lies between
// the densities the two would give.
TEST(Profile, CompressibilityLinearInPressure) {
  RunRecord run = DefaultRunRecord(kUs);
  Text(run, kZ2) = "0.5";
  const Profile profile = CalculateProfile(run, 2, kUs);
  ASSERT_EQ(profile.stations.size(), 3u);
  const ProfileStation& middle = profile.stations[1];
  RunRecord cut = run;
  Text(cut, kLength) = Text(middle.run, kLength);
  const double p = *middle.calculated.values.Of(kPressure2);
  const double p1 = 740, p2 = *profile.stations[2].calculated.values.Of(kPressure2);
  const double z = 0.975 + (0.5 - 0.975) * ((p1 - p) / (p1 - p2));
  Text(cut, kZ2) = FormatByPattern(z, kInputPattern, kUs);
  const Calculated expected = CalculateQuietly(cut, kUs);
  EXPECT_EQ(middle.calculated.values.Of(kDensity2), expected.values.Of(kDensity2));
}

}  // namespace
