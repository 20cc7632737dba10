// The state along the pipe. Station 0 is the inlet state and the last station
// the exit state, each character for character as the Calculate command shows
// them; station x between them is the exit state of the same pipe cut to
// length x, found by the very calculation that the Calculate command runs.
// The exit compressibility of a cut pipe is taken linearly in pressure
// between Z1 at the inlet pressure and Z2 at the last station's pressure (the
// exit pressure; where the pipe chokes, the last station below Mach 1).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calc/calculate.h"

// One station: the cut pipe's run as calculated, read at its inlet fields
// (station 0) or its exit fields.
struct ProfileStation {
  RunRecord run;
  Calculated calculated;
  bool inlet = false;
};

struct Profile {
  std::vector<ProfileStation> stations;  // from x = 0, those below Mach 1
  // Empty when every station was reached; otherwise why the profile stops
  // early (the pipe chokes before its end, or a calculation ended with a
  // message).
  std::string stop;
};

// Each station is a whole run kept in memory (a few kilobytes), so front ends
// take at most this many intervals.
inline constexpr int kMostProfileIntervals = 100000;

// N + 1 equally spaced stations from 0 to the run's length L.
Profile CalculateProfile(const RunRecord& run, int intervals, const NumberSymbols& symbols);

// The quantities of a station: the key of its column, its title in a plot,
// and the fields it is read from at the inlet and at an exit. The friction
// parameter has no inlet field: it is zero there.
struct StationColumn {
  const char* key;
  const char* title;
  FieldRef inlet;
  FieldRef exit;
};
const std::vector<StationColumn>& StationColumns();

// A station's quantity: its text and its value.
struct StationValue {
  std::string text;
  std::optional<double> value;
};
StationValue ValueAt(const ProfileStation& station, const StationColumn& column,
                     const NumberSymbols& symbols);
