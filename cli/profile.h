// The state along the pipe: station x is the exit state of the same pipe cut
// to length x, found by the very calculation that the Calculate command runs,
// so the last station is the run's exit state character for character.
#pragma once

#include <string>
#include <vector>

#include "calc/run_record.h"
#include "cli/rows.h"

struct Profile {
  std::vector<Row> stations;  // from x = 0, those below Mach 1
  // Empty when every station was reached; otherwise why the profile stops
  // early (the pipe chokes before its end, or a calculation ended with a
  // message).
  std::string stop;
};

// N + 1 equally spaced stations from 0 to the run's length L.
Profile CalculateProfile(const RunRecord& run, int intervals, const NumberSymbols& symbols);

// The quantities of a station, by column key and the field it comes from.
struct StationColumn {
  const char* key;
  FieldRef ref;
  const char* title;
};
const std::vector<StationColumn>& StationColumns();
// A station's row: "station", "x", then the columns above in order.
inline constexpr std::size_t kFirstStationColumn = 2;
