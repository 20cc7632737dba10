#include "cli/profile.h"

#include "calc/calculate.h"
#include "calc/field_names.h"
#include "cli/session.h"

namespace {

using B = BoxArray;
constexpr FieldRef kExitMach = kMach2;

// The length of station i; the last is the run's own text, so that the last
// station is the run itself.
std::string StationLength(const RunRecord& run, double length, int i, int intervals,
                          const NumberSymbols& symbols) {
  if (i == intervals) return Text(run, kLength);
  return TypedText((length * i) / intervals, symbols);
}

std::string ChokeMessage(const RunRecord& station, const std::string& reachedText) {
  std::string message = "the pipe chokes before its end: the exit Mach number reaches 1.0 ";
  const std::string& maxLength = Text(station, kMaxLength);
  message += maxLength.empty()
                 ? "between " + reachedText + " ft and the next station"
                 : "at " + maxLength + " ft (" + std::string(Caption(kMaxLength)) + ")";
  return message + "; stations beyond are left out";
}

}  // namespace

const std::vector<StationColumn>& StationColumns() {
  static const std::vector<StationColumn> columns{
      {"p", {B::Exit, 0}, "Pressure, psia"},
      {"t", {B::Exit, 1}, "Temperature, F"},
      {"rho", {B::Exit, 4}, "Density, lb/cf"},
      {"v", {B::Exit, 6}, "Velocity, ft/s"},
      {"cs", {B::Exit, 7}, "Sonic Velocity, ft/s"},
      {"m", kExitMach, "Mach Number"},
      {"fld", {B::Check, 0}, "fL/D"},
  };
  return columns;
}

Profile CalculateProfile(const RunRecord& run, int intervals, const NumberSymbols& symbols) {
  Profile profile;
  const auto length = TextToNumber(Text(run, kLength), symbols);
  if (!length) {
    profile.stop = std::string(Caption(kLength)) + " Is Not a Numeric Value";
    return profile;
  }
  RunRecord reached;  // the last station calculated to its end
  for (int i = 0; i <= intervals; ++i) {
    RunRecord station = run;
    Text(station, kLength) = StationLength(run, *length, i, intervals, symbols);
    const Calculated calculated = Calculate(station, symbols);
    // A station counts once its exit state is written; a later message about
    // the maximum flow rate does not concern the profile.
    if (Text(station, kExitMach).empty()) {
      profile.stop = i > 0 && calculated.outcome.end == CalcEnd::kExitMachPassesOne
                         ? ChokeMessage(reached, Text(reached, kLength))
                         : RunEnd(calculated.outcome, symbols);
      return profile;
    }
    Row row{CountCell("station", i), NumberCell("x", Text(station, kLength), symbols)};
    for (const StationColumn& column : StationColumns()) {
      row.push_back(NumberCell(column.key, Text(station, column.ref), symbols,
                               calculated.values.Of(column.ref)));
    }
    profile.stations.push_back(std::move(row));
    reached = std::move(station);
  }
  return profile;
}
