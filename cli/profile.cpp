#include "cli/profile.h"

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

struct Station {
  RunRecord run;
  Calculated calculated;
};

// Z at pressure p, linear in pressure between Z1 at P1 and Z2 at P2.
double CompressibilityAt(double p, double p1, double z1, double p2, double z2) {
  return p1 == p2 ? z2 : z1 + (z2 - z1) * ((p1 - p) / (p1 - p2));
}

// The cut pipes' exit states, stopping at the first that is not written.
std::vector<Station> CutPipes(const RunRecord& run, int intervals, double length,
                              const NumberSymbols& symbols, std::string& stop) {
  std::vector<Station> stations;
  for (int i = 0; i <= intervals; ++i) {
    Station station{run, {}};
    Text(station.run, kLength) = StationLength(run, length, i, intervals, symbols);
    station.calculated = CalculateQuietly(station.run, symbols);
    // A station counts once its exit state is written; a later message about
    // the maximum flow rate does not concern the profile.
    if (!station.calculated.outcome.AllResultsWritten()) {
      const bool chokes = i > 0 && station.calculated.outcome.end == CalcEnd::kExitMachPassesOne;
      stop =
          chokes ? ChokeMessage(stations.back().run) : RunEnd(station.calculated.outcome, symbols);
      break;
    }
    stations.push_back(std::move(station));
  }
  return stations;
}

// The stations between the first and the last again, each with its exit
// compressibility taken from its own pressure.
void InterpolateCompressibility(std::vector<Station>& stations, const RunRecord& run,
                                const NumberSymbols& symbols) {
  if (stations.size() < 3) return;
  const auto value = [&](const Station& s, FieldRef ref) { return *s.calculated.values.Of(ref); };
  const double p1 = *TextToNumber(Text(run, kPressure1), symbols);
  const double p2 = value(stations.back(), kPressure2);
  const auto z1 = TextToNumber(Text(run, kZ1), symbols);
  const auto z2 = TextToNumber(Text(run, kZ2), symbols);
  for (std::size_t i = 1; i + 1 < stations.size(); ++i) {
    Station& s = stations[i];
    const double z = CompressibilityAt(value(s, kPressure2), p1, *z1, p2, *z2);
    Text(s.run, kZ2) = FormatByPattern(z, kInputPattern, symbols);
    s.calculated = CalculateQuietly(s.run, symbols);
  }
}

Row StationRow(const Station& station, int i, bool inlet, const NumberSymbols& symbols) {
  Row row{CountCell("station", i), FieldCell(station.run, kLength, symbols)};
  row.back().key = "x";
  for (const StationColumn& column : StationColumns()) {
    row.push_back(FieldCell(station.run, inlet ? column.inlet : column.exit, symbols,
                            station.calculated.values));
    row.back().key = column.key;
  }
  if (inlet) {
    Cell& friction = CellOf(row, "fld");  // no pipe yet at the inlet
    friction.text = FormatByPattern(0.0, kResultPattern6, symbols);
    friction.value = 0.0;
  }
  return row;
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

Row StationShape() {
  const Station none{DefaultRunRecord({}), {}};
  return StationRow(none, 0, false, {});
}

Profile CalculateProfile(const RunRecord& run, int intervals, const NumberSymbols& symbols) {
  Profile profile;
  const auto length = TextToNumber(Text(run, kLength), symbols);
  if (!length) {
    profile.stop = std::string(Caption(kLength)) + " Is Not a Numeric Value";
    return profile;
  }
  std::vector<Station> stations = CutPipes(run, intervals, *length, symbols, profile.stop);
  InterpolateCompressibility(stations, run, symbols);
  for (std::size_t i = 0; i < stations.size(); ++i) {
    profile.stations.push_back(StationRow(stations[i], static_cast<int>(i), i == 0, symbols));
  }
  return profile;
}
