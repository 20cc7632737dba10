#include "engineering/profile.h"

#include "calc/calc_outcome.h"
#include "calc/field_names.h"

namespace {

// The length of station i; the last is the run's own text, so that the last
// station is the run itself.
std::string StationLength(const RunRecord& run, double length, int i, int intervals,
                          const NumberSymbols& symbols) {
  if (i == intervals) return Text(run, kLength);
  return FormatByPattern((length * i) / intervals, kInputPattern, symbols);
}

std::string ChokeMessage(const RunRecord& reached) {
  std::string message = "the pipe chokes before its end: the exit Mach number reaches 1.0 ";
  const std::string& maxLength = Text(reached, kMaxLength);
  message += maxLength.empty()
                 ? "between " + Text(reached, kLength) + " ft and the next station"
                 : "at " + maxLength + " ft (" + std::string(Caption(kMaxLength)) + ")";
  return message + "; stations beyond are left out";
}

// Z at pressure p, linear in pressure between Z1 at P1 and Z2 at P2.
double CompressibilityAt(double p, double p1, double z1, double p2, double z2) {
  return p1 == p2 ? z2 : z1 + (z2 - z1) * ((p1 - p) / (p1 - p2));
}

// The cut pipes' exit states, stopping at the first that is not written.
std::vector<ProfileStation> CutPipes(const RunRecord& run, int intervals, double length,
                                     const NumberSymbols& symbols, std::string& stop) {
  std::vector<ProfileStation> stations;
  for (int i = 0; i <= intervals; ++i) {
    ProfileStation station{run, {}, i == 0};
    Text(station.run, kLength) = StationLength(run, length, i, intervals, symbols);
    station.calculated = CalculateQuietly(station.run, symbols);
    // A station counts once its exit state is written; a later message about
    // the maximum flow rate does not concern the profile.
    if (!station.calculated.outcome.AllResultsWritten()) {
      const bool chokes = i > 0 && station.calculated.outcome.end == CalcEnd::kExitMachPassesOne;
      stop = chokes ? ChokeMessage(stations.back().run)
                    : OutcomeMessage(station.calculated.outcome, symbols);
      break;
    }
    stations.push_back(std::move(station));
  }
  return stations;
}

// The stations between the first and the last again, each with its exit
// compressibility taken from its own pressure.
void InterpolateCompressibility(std::vector<ProfileStation>& stations, const RunRecord& run,
                                const NumberSymbols& symbols) {
  if (stations.size() < 3) return;
  const auto value = [&](const ProfileStation& s, FieldRef ref) {
    return *s.calculated.values.Of(ref);
  };
  const double p1 = *TextToNumber(Text(run, kPressure1), symbols);
  const double p2 = value(stations.back(), kPressure2);
  const auto z1 = TextToNumber(Text(run, kZ1), symbols);
  const auto z2 = TextToNumber(Text(run, kZ2), symbols);
  for (std::size_t i = 1; i + 1 < stations.size(); ++i) {
    ProfileStation& s = stations[i];
    const double z = CompressibilityAt(value(s, kPressure2), p1, *z1, p2, *z2);
    Text(s.run, kZ2) = FormatByPattern(z, kInputPattern, symbols);
    s.calculated = CalculateQuietly(s.run, symbols);
  }
}

}  // namespace

const std::vector<StationColumn>& StationColumns() {
  static const std::vector<StationColumn> columns{
      {"p", "Pressure, psia", kPressure1, kPressure2},
      {"t", "Temperature, F", kTemperature1, kTemperature2},
      {"rho", "Density, lb/cf", kDensity1, kDensity2},
      {"v", "Velocity, ft/s", kVelocity1, kVelocity2},
      {"cs", "Sonic Velocity, ft/s", kSonicVelocity1, kSonicVelocity2},
      {"m", "Mach Number", kMach1, kMach2},
      {"fld", "fL/D", kFrictionParameter1, kFrictionParameter1},
  };
  return columns;
}

StationValue ValueAt(const ProfileStation& station, const StationColumn& column,
                     const NumberSymbols& symbols) {
  if (station.inlet && column.inlet == column.exit) {  // no pipe yet: no friction
    return {FormatByPattern(0.0, kResultPattern6, symbols), 0.0};
  }
  const FieldRef ref = station.inlet ? column.inlet : column.exit;
  return {Text(station.run, ref), FieldValue(station.run, ref, station.calculated.values, symbols)};
}

Profile CalculateProfile(const RunRecord& run, int intervals, const NumberSymbols& symbols) {
  Profile profile;
  const auto length = TextToNumber(Text(run, kLength), symbols);
  if (!length) {
    profile.stop = std::string(Caption(kLength)) + " Is Not a Numeric Value";
    return profile;
  }
  std::vector<ProfileStation> stations = CutPipes(run, intervals, *length, symbols, profile.stop);
  InterpolateCompressibility(stations, run, symbols);
  profile.stations = std::move(stations);
  return profile;
}
